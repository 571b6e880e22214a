#pragma once
// The two name dialogs as core code reaches them: `Tnew_form` for New and
// `Tsave_dialog` for Save As. The shell installs the real dialogs; tests
// install a scripted fake. Texts are Windows-1252 bytes.
#include <string>

namespace kelvo {

class NameDialogs {
public:
    virtual ~NameDialogs() = default;
    // `Tnew_form`: caption, label and the proposed name in the edit field.
    // True when OK was pressed and the chosen name is not empty.
    virtual bool ask_new_name(const std::string& caption, const std::string& label, const std::string& current,
                              std::string& chosen) = 0;
    // `Tsave_dialog`: caption (as "Save Macro") and the current name. True
    // when OK (or Enter) was pressed; the name is taken as typed.
    virtual bool ask_save_name(const std::string& caption, const std::string& current, std::string& chosen) = 0;
};

// The program-wide dialogs. Until some are installed, every dialog is
// cancelled.
NameDialogs& name_dialogs();
NameDialogs* install_name_dialogs(NameDialogs* dialogs);

class NameDialogsScope {
public:
    explicit NameDialogsScope(NameDialogs& d) : previous_(install_name_dialogs(&d)) {}
    ~NameDialogsScope() { install_name_dialogs(previous_); }
    NameDialogsScope(const NameDialogsScope&) = delete;
    NameDialogsScope& operator=(const NameDialogsScope&) = delete;
private:
    NameDialogs* previous_;
};

bool ask_new_name(const std::string& caption, const std::string& label, const std::string& current,
                  std::string& chosen);
bool ask_save_name(const std::string& caption, const std::string& current, std::string& chosen);

}  // namespace kelvo
