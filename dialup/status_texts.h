#pragma once
// The connection-state texts of the dial-up component in its three languages.
#include <QString>

namespace dialup {

enum TLanguage { English = 0, Czech = 1, Portuguese = 2 };

// The text of a RAS connection state; empty for a state the table does not name.
QString StateText(TLanguage language, unsigned state);

} // namespace dialup
