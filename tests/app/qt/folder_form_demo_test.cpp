#include "app/qt/folder_form.h"
#include "app/qt/new_form.h"
#include "ground/settings.h"

#include "temp_dir.h"

#include <QApplication>
#include <QComboBox>
#include <QMouseEvent>
#include <QPushButton>
#include <QTimer>
#include <gtest/gtest.h>

#include <filesystem>

using namespace kelvo;
namespace fs = std::filesystem;

namespace {

struct DemoOffer {
    test::TempDir root;
    fs::path installed = root.path() / "share/cadenzor/examples/methods";
    fs::path copy = root.path() / "data/Qerant/Cadenzor/Demo Methods";
    DemoOffer()
    {
        fs::create_directories(installed);
        test::write_file((installed / "latest_kelvo.kol").string(), "kol");
        test::write_file((installed / "Wash.kma").string(), "wash");
    }
};

// A left click in the middle of the button, as the user gives it.
void click(QWidget* w)
{
    const QPointF local(w->width() / 2.0, w->height() / 2.0);
    const QPointF global = w->mapToGlobal(local);
    QMouseEvent press(QEvent::MouseButtonPress, local, global, Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(w, &press);
    QMouseEvent release(QEvent::MouseButtonRelease, local, global, Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(w, &release);
}

}  // namespace

TEST(FolderFormDemo, FirstStartOffersTheDemoCopyAndOkMakesIt)
{
    MemorySettingsStore store;
    SettingsScope scope(store);
    DemoOffer demo;
    Tfolder_form form;
    form.offer_demo_folder(demo.installed.string(), demo.copy.string());
    EXPECT_EQ(form.folders(), std::vector<std::string>{demo.copy.string()});
    EXPECT_EQ(form.selected_folder(), demo.copy.string());
    form.show();
    ASSERT_TRUE(form.ok_button->isEnabled());
    click(form.ok_button);
    EXPECT_EQ(form.result(), QDialog::Accepted);
    EXPECT_EQ(test::read_file((demo.copy / "Wash.kma").string()), "wash");
    EXPECT_EQ(test::read_file((demo.copy / "latest_kelvo.kol").string()), "kol");
}

TEST(FolderFormDemo, NoOfferOnceFoldersAreKnownAndNoCopyWhenAnotherIsChosen)
{
    MemorySettingsStore store;
    SettingsScope scope(store);
    DemoOffer demo;
    write_folder_list({"/lab/methods"});
    {
        Tfolder_form form;
        form.offer_demo_folder(demo.installed.string(), demo.copy.string());
        EXPECT_EQ(form.folders(), std::vector<std::string>{"/lab/methods"});
    }
    write_folder_list({});
    Tfolder_form form;
    form.offer_demo_folder(demo.installed.string(), demo.copy.string());
    form.browse_for_folder = [&](const QString&) { return QString::fromStdString(demo.root.path().string()); };
    form.show();
    click(form.browse_button);
    EXPECT_EQ(form.selected_folder(), demo.root.path().string());
    click(form.ok_button);
    EXPECT_EQ(form.result(), QDialog::Accepted);
    EXPECT_FALSE(fs::exists(demo.copy));
}

TEST(NewFormWidth, TheCaptionFitsBesideTheTitleBarButtons)
{
    for (const QString caption : {QString("Choose name of new sample list"), QString("Choose name of new Method")}) {
        Tnew_form form;
        int width = 0;
        QTimer::singleShot(0, &form, [&] {
            width = form.width();
            click(form.cancel_button);
        });
        QString chosen;
        EXPECT_FALSE(form.run(caption, "Name of new sample list", "", chosen));
        EXPECT_GE(width, form.fontMetrics().horizontalAdvance(caption) + Tnew_form::title_bar_allowance)
            << caption.toStdString();
    }
}
