// The seam through which tests answer a view's modal dialogs in advance, the same in both
// views: answers queued for the next dialogs (MessageBoxes::setNextAnswer,
// FileDialog::setNextFileName), an unattended mode in which no dialog blocks, and the history
// of every dialog asked for. A view's dialog class derives from it, once per kind of dialog.
// The interface's thread only.
#pragma once

#include <deque>
#include <optional>
#include <vector>

namespace zendrik {

template <class Request, class Answer>
class DialogSeam {
  public:
    // When set, every dialog is answered at once instead of being shown: with its answer
    // given in advance, else as cancelled (OK for a box with only that button, No for a
    // question).
    static void setUnattended(bool on) { state().unattended = on; }
    // Every dialog asked for since the last clearHistory, answered in advance or shown.
    static const std::vector<Request>& history() { return state().asked; }
    // Also drops the answers given in advance.
    static void clearHistory() {
        state().asked.clear();
        state().next.clear();
    }

  protected:
    // The next dialog that takes an answer is not shown but answered `answer` at once.
    static void setNext(Answer answer) { state().next.push_back(std::move(answer)); }
    // Notes `request`, a dialog with only one answer; whether to show it.
    static bool shows(Request request) {
        state().asked.push_back(std::move(request));
        return !state().unattended;
    }
    // Notes `request`; its answer given in advance, else `cancelled` when unattended, else
    // none: the dialog is to be shown.
    static std::optional<Answer> answerOf(Request request, Answer cancelled) {
        State& seam = state();
        seam.asked.push_back(std::move(request));
        if (!seam.next.empty()) {
            Answer answer = std::move(seam.next.front());
            seam.next.pop_front();
            return answer;
        }
        if (seam.unattended) return cancelled;
        return std::nullopt;
    }

  private:
    struct State {
        std::vector<Request> asked;
        std::deque<Answer> next;
        bool unattended = false;
    };
    static State& state() {
        static State seam;
        return seam;
    }
};

}  // namespace zendrik
