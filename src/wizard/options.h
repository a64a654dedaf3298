// The three switches of the options page. The passes read them at the moment they need them:
// "remove incomplete extensions" and "only show what would be done" when the repair pass
// starts, "compare extensions" when "COPY!" is pressed. A view sets them whenever its check
// boxes change.
#pragma once

namespace zendrik {

struct Options {
    // removeExtensionsCheck: the repair pass removes the description files of extensions
    // whose package files are all missing.
    bool removeIncompleteExtensions = true;
    // compareextensionsCheck: "COPY!" shares the extensions between the installations.
    bool compareExtensions = true;
    // previewCheck: the repair pass and "COPY!" run over a preview of the disk: the same log,
    // nothing changed, locked or journaled.
    bool previewOnly = false;
};

}  // namespace zendrik
