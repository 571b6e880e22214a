#include "ground/qt/message_prompts.h"

#include "ground/qt/qt_text.h"

#include <QApplication>
#include <QMessageBox>

namespace kelvo {

QString message_title()
{
    const QString name = QApplication::applicationDisplayName();
    return name.isEmpty() ? QStringLiteral("KELVO Cadenzor") : name;
}

void MessagePrompts::show_error(const std::string& text)
{
    // An error box offers Cancel only.
    QMessageBox box(QMessageBox::Critical, message_title(), to_qstring(text), QMessageBox::Cancel, parent_);
    box.exec();
}

void MessagePrompts::show_information(const std::string& text)
{
    QMessageBox box(QMessageBox::Information, message_title(), to_qstring(text), QMessageBox::Ok, parent_);
    box.exec();
}

AbortRetryIgnore MessagePrompts::ask_abort_retry_ignore(const std::string& text)
{
    QMessageBox box(QMessageBox::Warning, message_title(), to_qstring(text),
                    QMessageBox::Abort | QMessageBox::Retry | QMessageBox::Ignore, parent_);
    switch (box.exec()) {
    case QMessageBox::Retry: return AbortRetryIgnore::retry;
    case QMessageBox::Ignore: return AbortRetryIgnore::ignore;
    default: return AbortRetryIgnore::abort;
    }
}

bool MessagePrompts::ask_yes_no(const std::string& text)
{
    QMessageBox box(QMessageBox::Information, message_title(), to_qstring(text), QMessageBox::Yes | QMessageBox::No,
                    parent_);
    return box.exec() == QMessageBox::Yes;
}

}  // namespace kelvo
