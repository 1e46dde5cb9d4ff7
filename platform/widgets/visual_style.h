#pragma once
// The name of the active visual style. The platform's default Qt style counts as the
// style named "Windows" (the one the suite's windows were laid out for); any other counts
// as a custom style under its own name. A style counts as custom when it was chosen from
// outside (QT_STYLE_OVERRIDE, the -style option) or by the program through
// useVisualStyle.
#include <QString>

namespace platform {

QString activeVisualStyleName();

// Makes the style of that key (QStyleFactory) the application's; false when there is none.
bool useVisualStyle(const QString &key);

} // namespace platform
