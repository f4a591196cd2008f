#include "mainwindow/Form1.h"

#include <gtest/gtest.h>

TEST(Form1, HasTheDesignsCaptionAndInsideArea) {
    veskard::Form1 window;
    window.show();
    EXPECT_EQ(window.windowTitle(), QStringLiteral("Orvessa"));
    // 5790 x 4890 twips at 15 twips a pixel.
    EXPECT_EQ(window.size(), QSize(386, 326));
    EXPECT_EQ(window.minimumSize(), window.maximumSize()) << "the window keeps its size";
}
