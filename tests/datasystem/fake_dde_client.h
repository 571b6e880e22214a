#pragma once
// A scripted data system behind the DdeClient interface: topics with item
// texts, a record of every conversation opened, every advise link and every
// command executed, and changes the test pushes to the advise links.
#include "datasystem/dde_client.h"

#include <map>
#include <memory>
#include <string>
#include <vector>

namespace kelvo::test {

class FakeDdeClient final : public DdeClient {
public:
    struct Topic {
        std::map<std::string, std::string> items;
        std::multimap<std::string, DdeConversation::ChangeHandler> links;
    };

    std::string service = "HPCS1";
    std::map<std::string, Topic> topics;       // the topics that open
    std::vector<std::string> opened;           // "service|topic" per connect that opened
    std::vector<std::string> advised;          // "topic:item"
    std::vector<std::string> executed;         // "topic:command"
    std::vector<std::string> log;              // connects, advises, requests and executes in order

    std::unique_ptr<DdeConversation> connect(const std::string& s, const std::string& topic) override
    {
        log.push_back("connect " + s + "|" + topic);
        if (s != service || !topics.count(topic)) return nullptr;
        opened.push_back(s + "|" + topic);
        return std::make_unique<Conversation>(*this, topic);
    }

    // The data system changes an item: every advise link on it hears.
    void change(const std::string& topic, const std::string& item, const std::string& value)
    {
        Topic& t = topics[topic];
        t.items[item] = value;
        auto range = t.links.equal_range(item);
        for (auto it = range.first; it != range.second; ++it) it->second(value);
    }

private:
    class Conversation final : public DdeConversation {
    public:
        Conversation(FakeDdeClient& owner, std::string topic) : owner_(owner), topic_(std::move(topic)) {}
        std::string request(const std::string& item) override
        {
            owner_.log.push_back("request " + topic_ + ":" + item);
            return owner_.topics[topic_].items[item];
        }
        void advise(const std::string& item, ChangeHandler on_change) override
        {
            owner_.log.push_back("advise " + topic_ + ":" + item);
            owner_.advised.push_back(topic_ + ":" + item);
            owner_.topics[topic_].links.emplace(item, std::move(on_change));
        }
        void execute(const std::string& command) override
        {
            owner_.log.push_back("execute " + topic_ + ":" + command);
            owner_.executed.push_back(topic_ + ":" + command);
        }
    private:
        FakeDdeClient& owner_;
        std::string topic_;
    };
};

}  // namespace kelvo::test
