#pragma once
// The standard message boxes on QMessageBox.
#include "ground/prompts.h"

#include <QString>

class QWidget;

namespace kelvo {

class MessagePrompts final : public Prompts {
public:
    explicit MessagePrompts(QWidget* parent = nullptr) : parent_(parent) {}
    void set_parent(QWidget* parent) { parent_ = parent; }
    void show_error(const std::string& text) override;
    void show_information(const std::string& text) override;
    AbortRetryIgnore ask_abort_retry_ignore(const std::string& text) override;
    bool ask_yes_no(const std::string& text) override;
private:
    QWidget* parent_;
};

// The title of every message box: the application's title.
QString message_title();

}  // namespace kelvo
