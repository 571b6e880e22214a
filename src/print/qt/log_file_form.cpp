#include "print/qt/log_file_form.h"

#include "ground/file_io.h"
#include "ground/log.h"
#include "ground/prompts.h"
#include "ground/qt/qt_text.h"
#include "ground/qt/window_place.h"
#include "print/document_prints.h"
#include "print/qt/text_printer.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QTextCursor>
#include <QTextEdit>
#include <QVBoxLayout>

namespace kelvo {

std::string unreadable_log_text(const std::string& path)
{
    return "The log file " + path + " could not be read.";
}

Tlog_file_form::Tlog_file_form(DocumentPrinter& printer, QWidget* parent) : QDialog(parent), printer_(printer)
{
    setObjectName("log_file_form");
    setWindowTitle("Log File");
    setModal(true);
    Label1 = new QLabel("Contents of Log File", this);
    Label1->setObjectName("Label1");
    log_file_box = new QTextEdit(this);
    log_file_box->setObjectName("log_file_box");
    log_file_box->setReadOnly(true);
    log_file_box->setAcceptRichText(false);
    // One log line is one line of the box: no wrapping, both scroll bars.
    log_file_box->setLineWrapMode(QTextEdit::NoWrap);
    log_file_box->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    log_file_box->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    log_file_box->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    print_button = new QPushButton("&Print", this);
    print_button->setObjectName("print_button");
    ok_button = new QPushButton("OK", this);
    ok_button->setObjectName("ok_button");
    connect(print_button, &QPushButton::clicked, this, [this] { print_buttonClick(); });
    connect(ok_button, &QPushButton::clicked, this, &QDialog::accept);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(print_button);
    buttons->addWidget(ok_button);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Label1);
    layout->addWidget(log_file_box, 1);
    layout->addLayout(buttons);
    resize(640, 480);
}

void Tlog_file_form::showEvent(QShowEvent* event)
{
    load_log();
    centre_on_screen(this);
    QDialog::showEvent(event);
}

void Tlog_file_form::load_log()
{
    std::string bytes;
    const bool read = read_file_bytes(log_path(), bytes);
    lines_ = read ? split_text_lines(bytes) : std::vector<std::string>{};
    std::string text;
    for (std::size_t i = 0; i < lines_.size(); ++i) text += (i ? "\n" : "") + lines_[i];
    // A log that cannot be read says so instead of looking empty; there is
    // nothing to print then.
    log_file_box->setPlainText(to_qstring(read ? text : unreadable_log_text(log_path())));
    print_button->setEnabled(read);
}

void Tlog_file_form::print_buttonClick()
{
    LineRange range{0, static_cast<int>(lines_.size()) - 1};
    const QTextCursor cursor = log_file_box->textCursor();
    if (!cursor.hasSelection()) {
        if (!ask_yes_no("Do you want to print the whole log file?")) return;
    } else {
        const auto start = static_cast<std::size_t>(cursor.selectionStart());
        const auto length = static_cast<std::size_t>(cursor.selectionEnd() - cursor.selectionStart());
        range = selected_lines(from_qstring(log_file_box->toPlainText()), start, length);
    }
    printer_.print_log(lines_, range.first, range.last);
}

}  // namespace kelvo
