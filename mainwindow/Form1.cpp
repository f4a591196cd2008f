#include "mainwindow/Form1.h"

#include "desktop/Twips.h"

namespace veskard {
namespace {

// The inside area of the window's design, in twips.
constexpr int ClientWidthTwips = 5790;
constexpr int ClientHeightTwips = 4890;

} // namespace

Form1::Form1(QWidget* parent)
    : QWidget(parent) {
    setObjectName("Form1");
    setWindowTitle(QStringLiteral("Orvessa"));
    setFixedSize(desktop::sizeInTwips(ClientWidthTwips, ClientHeightTwips));
}

} // namespace veskard
