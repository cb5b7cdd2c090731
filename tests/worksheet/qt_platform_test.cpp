#include "app/qt_platform.h"

#include <QFontInfo>
#include <gtest/gtest.h>

TEST(QtPlatform, CarriageReturnsInMessagesShowAsLineBreaks) {
    EXPECT_EQ(Display_text("INPUT ERROR\r\rEnter numeric data only."),
              QString("INPUT ERROR\n\nEnter numeric data only."));
    EXPECT_EQ(Display_text("one\r\ntwo"), QString("one\ntwo")); // not two breaks
    EXPECT_EQ(Display_text("caf\xc3\xa9"), QString::fromUtf8("caf\xc3\xa9"));
}

TEST(QtPlatform, CourierNewResolvesToAFixedPitchFontOfTheAskedSize) {
    const QFont font = Courier_new_font(12);
    EXPECT_TRUE(QFontInfo(font).fixedPitch());
    EXPECT_EQ(font.pixelSize(), 12);
}

TEST(QtPlatform, TheIconHasTheUsualSizes) {
    const QIcon icon = PavonaIcon();
    EXPECT_FALSE(icon.isNull());
    EXPECT_EQ(icon.pixmap(32, 32).size(), QSize(32, 32));
}
