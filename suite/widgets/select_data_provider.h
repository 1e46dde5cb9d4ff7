#pragma once
// SelectDataProvider: the data providers dialog as a choice of a data link.
#include <QString>

class QWidget;

namespace suite {

// Shows the data providers dialog modally, with valueName as the registry value name of
// its default. Returns the name (no folder) of the row chosen with OK, or after Cancel the
// file-name part of DefaultDataProviderFile(). The caller joins it to DataLinkPath().
QString SelectDataProvider(const QString &valueName, QWidget *parent = nullptr);

} // namespace suite
