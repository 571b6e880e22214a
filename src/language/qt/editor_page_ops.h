#pragma once
// The main window's file commands and page changes (DocumentOps) as the two
// editor pages carry them out. Each page owns its one and hands it out
// through document_ops().
#include "ground/document_ops.h"

#include <string>

namespace kelvo {

class MacroEditorPage;
class MethodEditorPage;

class MacroPageOps final : public DocumentOps {
public:
    explicit MacroPageOps(MacroEditorPage& page) : page_(page) {}
    void save(const std::string&) override;
    void save_as(const std::string&) override;
    void print(const std::string&) override;
    void ask_to_save() override;
    bool write_back() override;
    void start_empty(const std::string& name) override;
    void name_selected(const std::string& name) override;
    void names_refreshed() override;
    void refresh_pane() override;

private:
    MacroEditorPage& page_;
};

class MethodPageOps final : public DocumentOps {
public:
    explicit MethodPageOps(MethodEditorPage& page) : page_(page) {}
    void save(const std::string&) override;
    void save_as(const std::string&) override;
    void print(const std::string&) override;
    void ask_to_save() override;
    bool write_back() override;
    void start_empty(const std::string& name) override;
    void name_selected(const std::string& name) override;
    void names_refreshed() override;
    void refresh_pane() override;
    void folder_changed() override;

private:
    MethodEditorPage& page_;
};

}  // namespace kelvo
