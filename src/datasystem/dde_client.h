#pragma once
// The conversations of a DDE client, as the data-system link uses them:
// a conversation with a (service, topic) pair, advise links on its items
// with change events, requests and asynchronous executes. On Linux the
// conversation travels over the D-Bus session bus (qt/dbus_dde_client.h,
// the mapping is in dde_dbus_names.h); a Windows DDEML backend would
// implement the same two classes. Texts are Windows-1252 bytes.
#include <functional>
#include <memory>
#include <string>

namespace kelvo {

class DdeConversation {
public:
    using ChangeHandler = std::function<void(const std::string& value)>;
    virtual ~DdeConversation() = default;
    // The item's current text; empty when the peer has none or does not answer.
    virtual std::string request(const std::string& item) = 0;
    // An advise link: on_change gets the item's text every time it changes,
    // for as long as the conversation lives (a peer that restarts is
    // followed). Called from the event loop, never from within advise().
    virtual void advise(const std::string& item, ChangeHandler on_change) = 0;
    // Hands a command (a data-system macro) to the peer without waiting for
    // its effect; a failure is not reported.
    virtual void execute(const std::string& command) = 0;
};

class DdeClient {
public:
    virtual ~DdeClient() = default;
    // Opens a conversation in automatic connect mode; nullptr when it does
    // not open (no such service, or the service has no such topic).
    virtual std::unique_ptr<DdeConversation> connect(const std::string& service, const std::string& topic) = 0;
};

}  // namespace kelvo
