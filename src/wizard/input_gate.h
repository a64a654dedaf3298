// Keeps a page's buttons from acting on input that was made before the page was ready for
// it: a press made before the gate opened (it was aimed at what was there before), the press
// that completes a double click whose first press was made before the gate opened, and the
// auto-repeat of a key held down since before. A page opens its gate when it is shown and, on
// the repair page, when a pass has ended. Before its first opening the gate drops every
// press. A view hands the gate the presses on the page's buttons and the keys on the page;
// what the toolkit counts as a double click is the view's to say. Times are the window
// system's, in milliseconds, and may wrap around.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <set>

namespace zendrik {

struct Press {
    std::uint32_t time = 0;  // when the window system took it
    int button = 0;          // which mouse button, in the toolkit's numbers
    long x = 0, y = 0;       // on the screen
};

// Every press the window system delivers to the program's windows, dropped or not, in order.
class PressHistory {
  public:
    void note(const Press& press);
    // How many presses were noted.
    std::uint64_t count() const { return count_; }
    const Press& last() const { return last_; }
    const Press& beforeLast() const { return beforeLast_; }

  private:
    std::uint64_t count_ = 0;
    Press last_;
    Press beforeLast_;
};

class InputGate {
  public:
    // Whether the toolkit makes `second` the second press of a double click begun by
    // `first` (the same button, soon enough, near enough).
    using DoubleClick = std::function<bool(const Press& first, const Press& second)>;

    // `history` must outlive the gate.
    InputGate(const PressHistory& history, DoubleClick doubleClick);

    // From now on the page's buttons take input made from now on. `now` is on the presses'
    // clock; without it (no press taken yet) no press is older than the opening.
    void open(std::optional<std::uint32_t> now);

    // A press of a mouse button on one of the page's buttons: whether it is dropped. One
    // `fromWindowSystem` is the last press the history noted; any other (sent to the button
    // directly) has no time on the window system's clock. Dropping a press also drops its
    // double click and its release.
    bool dropsPress(const Press& press, bool fromWindowSystem);
    // The second press of a double click, where the toolkit reports it apart from its press.
    bool dropsDoubleClick() const { return droppingPress_; }
    // The release of a mouse button on one of the page's buttons.
    bool dropsRelease();
    // A key pressed (`down`) or released on the page; `repeat` for an auto-repeat.
    bool dropsKey(int key, bool down, bool repeat);

  private:
    const PressHistory& history_;
    DoubleClick doubleClick_;
    bool opened_ = false;
    std::optional<std::uint32_t> openedAt_;
    std::uint64_t pressesAtOpen_ = 0;
    bool droppingPress_ = false;
    // The keys pressed on the page since the gate opened.
    std::set<int> keysDown_;
};

}  // namespace zendrik
