// The four windows of a view, each made on first use and then only shown and hidden, as
// showWindows() shows them. A view's wizard (`Owner`, whose core() is the WizardCore) derives
// from it with its own window classes, each made from the wizard and each a `Base` with
// isVisible(), show() and hide(); the wizard says how the options page takes input
// (WizardWindows::enableOptions).
#pragma once

#include <memory>

#include "wizard/page_flow.h"

namespace zendrik {

template <class Owner, class Base, class OptionsWindow, class FoldersWindow, class RepairWindow,
          class InfoWindow>
class ViewWindows : public WizardWindows {
  public:
    ViewWindows(const ViewWindows&) = delete;
    ViewWindows& operator=(const ViewWindows&) = delete;

    // Shows the options page, the whole of start-up.
    void start() { showPages(); }
    // Shows and hides the windows as the core's page flow says.
    void showPages() { showWindows(owner_.core().flow(), *this); }
    // A click on the button `id` of the page flow on `window` (WizardCore::flowClick).
    void flowClick(Window window, int id) {
        if (owner_.core().flowClick(window, id)) showPages();
    }

    OptionsWindow& optionen() { return makeOnce(options_); }
    FoldersWindow& ordnerAuswahl() { return makeOnce(folders_); }
    RepairWindow& reparier() { return makeOnce(repair_); }
    InfoWindow& infoFormular() { return makeOnce(info_); }

  protected:
    // `owner` is the wizard that derives from this.
    explicit ViewWindows(Owner& owner) : owner_(owner) {}

    // `window`, or null while it was not made.
    Base* made(Window window) const {
        Base* windows[] = {options_.get(), folders_.get(), repair_.get(), info_.get()};
        return windows[window];
    }
    // Destroys the windows, before the wizard's core goes: the repair page, which shows the
    // core's log, first; the options page, which the information window stays above, last.
    void closeWindows() {
        repair_.reset();
        info_.reset();
        folders_.reset();
        options_.reset();
    }

    bool isShown(Window window) const override { return made(window) && made(window)->isVisible(); }
    void show(Window window) override { this->window(window).show(); }
    void hide(Window window) override { this->window(window).hide(); }

  private:
    template <class Made>
    Made& makeOnce(std::unique_ptr<Made>& window) {
        if (!window) window = std::make_unique<Made>(owner_);
        return *window;
    }
    Base& window(Window window) {
        switch (window) {
            case Options:
                return optionen();
            case Folders:
                return ordnerAuswahl();
            case Repair:
                return reparier();
            case Info:
                break;
        }
        return infoFormular();
    }

    Owner& owner_;
    std::unique_ptr<OptionsWindow> options_;
    std::unique_ptr<FoldersWindow> folders_;
    std::unique_ptr<RepairWindow> repair_;
    std::unique_ptr<InfoWindow> info_;
};

}  // namespace zendrik
