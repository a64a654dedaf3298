// The two switches of the options page. The passes read them at the moment they need them:
// "remove incomplete extensions" when the repair pass starts, "compare extensions" when
// "COPY!" is pressed. A view sets them whenever its check boxes change.
#pragma once

namespace zendrik {

struct Options {
    // removeExtensionsCheck: the repair pass removes the description files of extensions
    // whose package files are all missing.
    bool removeIncompleteExtensions = true;
    // compareextensionsCheck: "COPY!" shares the extensions between the installations.
    bool compareExtensions = true;
};

}  // namespace zendrik
