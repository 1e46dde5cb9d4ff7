#include "suite/widgets/select_data_provider.h"

#include "suite/dialogs.h"
#include "suite/paths.h"
#include "suite/widgets/tfrmdataproviders.h"

#include <QFileInfo>

namespace suite {

QString SelectDataProvider(const QString &valueName, QWidget *parent)
{
    QString result = QFileInfo(DefaultDataProviderFile()).fileName();
    TfrmDataProviders dialog(parent);
    dialog.IniTextPosision = valueName;
    if (dialog.exec() == ResultOk)
        result = dialog.providers().selectedName();
    return result;
}

} // namespace suite
