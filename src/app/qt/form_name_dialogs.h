#pragma once
// The name dialogs of the core on the real forms `Tnew_form` and
// `Tsave_dialog`, created once and reused.
#include "ground/name_dialogs.h"
#include "app/qt/new_form.h"
#include "app/qt/save_dialog.h"

#include <QPointer>

namespace kelvo {

class FormNameDialogs final : public NameDialogs {
public:
    explicit FormNameDialogs(QWidget* parent = nullptr);
    ~FormNameDialogs() override;
    FormNameDialogs(const FormNameDialogs&) = delete;
    FormNameDialogs& operator=(const FormNameDialogs&) = delete;

    bool ask_new_name(const std::string& caption, const std::string& label, const std::string& current,
                      std::string& chosen) override;
    bool ask_save_name(const std::string& caption, const std::string& current, std::string& chosen) override;

    Tnew_form* new_form() const { return new_form_; }
    Tsave_dialog* save_dialog() const { return save_dialog_; }

private:
    // Dialogs with a parent may go first, with their parent.
    QPointer<Tnew_form> new_form_;
    QPointer<Tsave_dialog> save_dialog_;
};

}  // namespace kelvo
