#pragma once
// The main window driven headless through its controls: the fixture the window's GUI tests
// share. Boxes are recorded and answered by a RecordingPresenter; the service manager is a
// script of a stopped service unless a test chooses another one before the first refresh.
#include "app/core/startup.h"
#include "app/ui/tmainvardoadmin.h"
#include "platform/testing/recording_presenter.h"
#include "net/hooks.h"
#include "suite/paths.h"
#include "suite/dialogs.h"
#include "suite/registry.h"
#include "test_env.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QPushButton>

#include <memory>

namespace windowtest {

inline const QString Base = QStringLiteral("SOFTWARE\\Tellvara\\Vardo-Service\\");

inline void store(const QString &subKey, const QString &name, const QString &text)
{
    ASSERT_TRUE(suite::WriteRegistryString(suite::RegistryRoot::LocalMachine, Base + subKey, name, text));
}

inline QString stored(const QString &subKey, const QString &name)
{
    return suite::ReadRegistryString(suite::RegistryRoot::LocalMachine, Base + subKey, name);
}

// A script of tests/data/service_control/.
inline QString serviceScript(const char *name)
{
    return testenv::sourceDir() + QStringLiteral("/tests/data/service_control/") + QLatin1String(name)
           + QStringLiteral(".script");
}

inline void useServiceScript(const char *name)
{
    qputenv("TELLVARA_SERVICE_MANAGER", "scripted");
    qputenv("TELLVARA_SERVICE_SCRIPT", serviceScript(name).toLocal8Bit());
}

// Lets the event loop run until the condition holds, for at most timeoutMs.
template <typename Condition>
bool waitFor(Condition condition, int timeoutMs = 2000)
{
    QElapsedTimer waited;
    waited.start();
    while (!condition() && waited.elapsed() < timeoutMs)
        QApplication::processEvents(QEventLoop::AllEvents, 20);
    return condition();
}

class WindowTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        // What an earlier window's start-up filled in this process starts out empty again.
        suite::ResetPaths();
        net::MessageHook = nullptr;
        net::TranslateHook = nullptr;
        net::ConfirmHook = nullptr;
        suite::SetApplicationTitle(app::ApplicationTitle);
        useServiceScript("stopped");
    }

    app::ui::TMainVardoAdmin &window()
    {
        if (!m_window)
            m_window = std::make_unique<app::ui::TMainVardoAdmin>(QStringList{QStringLiteral("vardo-admin")});
        return *m_window;
    }

    template <typename T>
    T *control(const char *name)
    {
        T *found = window().findChild<T *>(QString::fromLatin1(name));
        EXPECT_NE(found, nullptr) << name;
        return found;
    }

    void click(const char *button) { control<QPushButton>(button)->click(); }

    void typePassword(const QString &text) { window().locked().edLosen->setText(text); }

    void unlock()
    {
        typePassword(QStringLiteral("maltebon"));
        window().locked().BitBtn1->click();
        ASSERT_FALSE(window().isLocked());
    }

    QStringList boxTexts() const
    {
        QStringList texts;
        for (const platform::MessageBox &box : presenter.boxes())
            texts.append(box.text);
        return texts;
    }

    QList<platform::MessageBox> boxesOf(platform::BoxKind kind) const
    {
        QList<platform::MessageBox> found;
        for (const platform::MessageBox &box : presenter.boxes()) {
            if (box.kind == kind)
                found.append(box);
        }
        return found;
    }

    platform::testing::RecordingPresenter presenter;
    std::unique_ptr<app::ui::TMainVardoAdmin> m_window;
};

} // namespace windowtest
