#pragma once
// The places on this computer that stand for the platform's special folders.
//
// Rules: machine-wide folders lie below the system root, TELLVARA_ROOT (default "/"; a
// relative value is taken from the current directory), so a trial run or a test never
// needs root rights. Per-user folders follow the XDG base-directory variables. Every
// folder is returned as an absolute path ending in "/", or as "" when it cannot be named:
// the machine-wide ones when TELLVARA_ROOT names no existing directory, the per-user ones
// when neither the XDG variable nor a home directory is known.
#include <QString>

namespace platform {

enum class SpecialFolder {
    CommonFiles, // $TELLVARA_ROOT/var/lib/tellvara/common-files/
    AppData,     // ${XDG_DATA_HOME:-$HOME/.local/share}/, the user's roaming data
    UserConfig,  // ${XDG_CONFIG_HOME:-$HOME/.config}/, the user's settings
    Windows,     // $TELLVARA_ROOT/etc/
    System,      // the folder of the system's shared libraries, where libssl.so.3 lives;
                 // TELLVARA_SYSTEM_DIR overrides it (and must name an existing directory)
    Temp,        // ${TMPDIR:-/tmp}/
};

QString specialFolder(SpecialFolder folder);

// The folder that stands for the system root: $TELLVARA_ROOT or "/", ending in "/";
// "" when it names no existing directory.
QString systemRoot();

} // namespace platform
