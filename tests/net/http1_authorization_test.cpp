#include "net/http1_authorization.h"
#include "suite/registry.h"

#include <QAuthenticator>

#include <gtest/gtest.h>

namespace {

TEST(Http1AuthorizationTest, AnswersAServerWithTheSuiteAccount)
{
    QAuthenticator authenticator;
    bool handled = false;
    net::HTTP1Authorization(&authenticator, handled);
    EXPECT_TRUE(handled);
    EXPECT_EQ(authenticator.user(), QStringLiteral("Brandholm"));
    EXPECT_EQ(authenticator.password(), QStringLiteral("vispalin"));
}

TEST(Http1AuthorizationTest, AnswersAProxyWithTheStoredProxySettings)
{
    suite::WriteSuiteSetting("ProxySettings", "Username", "anna");
    suite::WriteSuiteSetting("ProxySettings", "Password", "hemligt");
    QAuthenticator authenticator;
    bool handled = false;
    net::HTTP1ProxyAuthorization(&authenticator, handled);
    EXPECT_TRUE(handled);
    EXPECT_EQ(authenticator.user(), QStringLiteral("anna"));
    EXPECT_EQ(authenticator.password(), QStringLiteral("hemligt"));
}

TEST(Http1AuthorizationTest, SendsErrorForProxySettingsThatAreNotStored)
{
    QAuthenticator authenticator;
    bool handled = false;
    net::HTTP1ProxyAuthorization(&authenticator, handled);
    EXPECT_TRUE(handled);
    EXPECT_EQ(authenticator.user(), QStringLiteral("ERROR"));
    EXPECT_EQ(authenticator.password(), QStringLiteral("ERROR"));
}

} // namespace
