#pragma once
// A QFile on a descriptor that answers fileName() with the name it stands for (an unnamed
// file has none of its own), so error messages can say which file they are about.
#include <QFile>

namespace platform {

class DescriptorFile : public QFile
{
public:
    explicit DescriptorFile(const QString &name) : m_name(name) {}
    QString fileName() const override { return m_name; }

private:
    QString m_name;
};

} // namespace platform
