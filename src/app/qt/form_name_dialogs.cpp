#include "app/qt/form_name_dialogs.h"

#include "ground/qt/qt_text.h"

namespace kelvo {

FormNameDialogs::FormNameDialogs(QWidget* parent)
    : new_form_(new Tnew_form(parent)), save_dialog_(new Tsave_dialog(parent))
{
}

FormNameDialogs::~FormNameDialogs()
{
    if (new_form_ && !new_form_->parent()) delete new_form_;
    if (save_dialog_ && !save_dialog_->parent()) delete save_dialog_;
}

bool FormNameDialogs::ask_new_name(const std::string& caption, const std::string& label, const std::string& current,
                                   std::string& chosen)
{
    if (!new_form_) return false;
    QString name;
    const bool ok = new_form_->run(to_qstring(caption), to_qstring(label), to_qstring(current), name);
    chosen = from_qstring(name);
    return ok;
}

bool FormNameDialogs::ask_save_name(const std::string& caption, const std::string& current, std::string& chosen)
{
    if (!save_dialog_) return false;
    QString name;
    const bool ok = save_dialog_->run(to_qstring(caption), to_qstring(current), name);
    if (ok) chosen = from_qstring(name);
    return ok;
}

}  // namespace kelvo
