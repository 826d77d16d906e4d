#pragma once

#include "host/Dialogs.h"

#include <cstddef>
#include <mutex>
#include <string>
#include <vector>

namespace host {

// Questions answered by the script's answers in order, then no; each question
// and its answer is recorded, and so is each error box.
class HeadlessDialogs final : public Dialogs {
public:
    struct Question {
        std::string caption;
        std::string text;
        bool answer = false;
    };

    explicit HeadlessDialogs(std::vector<bool> answers)
        : m_answers(std::move(answers)) {}

    bool askYesNo(const std::string& caption, const std::string& text) override {
        std::lock_guard guard(m_lock);
        bool answer = m_next < m_answers.size() && m_answers[m_next];
        ++m_next;
        m_asked.push_back({caption, text, answer});
        return answer;
    }

    struct Message {
        std::string caption;
        std::string text;

        bool operator==(const Message&) const = default;
    };

    void showError(const std::string& caption, const std::string& text) override {
        std::lock_guard guard(m_lock);
        m_errors.push_back({caption, text});
    }

    std::vector<Question> asked() const {
        std::lock_guard guard(m_lock);
        return m_asked;
    }

    std::vector<Message> errorsShown() const {
        std::lock_guard guard(m_lock);
        return m_errors;
    }

private:
    mutable std::mutex m_lock;
    std::vector<bool> m_answers;
    std::size_t m_next = 0;
    std::vector<Question> m_asked;
    std::vector<Message> m_errors;
};

} // namespace host
