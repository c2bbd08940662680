#include "controls/QtTextDfx.h"

#include <gtest/gtest.h>

TEST(QtText, Windows1252BothWays) {
    std::string ansi = "Caf\xe9 \x80 \x93quoted\x94 \x81";
    QString qt = ToQt(ansi);
    EXPECT_EQ(QString::fromUtf8("Café € “quoted” \u0081"), qt);
    EXPECT_EQ(ansi, FromQt(qt));
    EXPECT_EQ("?", FromQt(QString::fromUtf8("\u4e2d")));
}
