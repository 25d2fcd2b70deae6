#pragma once

#include "core/messageservice.h"

#include <deque>
#include <vector>

namespace kelvo::test {

// Records every box the logic shows and answers with the queued results
// (1 when nothing is queued).
class ScriptedMessages final : public MessageService {
public:
    int show(const Message& message) override
    {
        shown.push_back(message);
        if (answers.empty())
            return 1;
        const int answer = answers.front();
        answers.pop_front();
        return answer;
    }
    void showError(const QString& text) override { errors.push_back(text); }
    void beep() override { ++beeps; }

    void answer(int result) { answers.push_back(result); }
    QStringList texts() const
    {
        QStringList list;
        for (const Message& m : shown)
            list << m.text;
        return list;
    }

    std::vector<Message> shown;
    QStringList errors;
    std::deque<int> answers;
    int beeps = 0;
};

} // namespace kelvo::test
