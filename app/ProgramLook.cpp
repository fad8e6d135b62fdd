// The program's style, colours and font.
#include "app/ProgramLook.h"

#include <QApplication>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QLibraryInfo>
#include <QLocale>
#include <QPalette>
#include <QStyleFactory>
#include <QTranslator>
#include <algorithm>
#include <memory>

#include "app/Controls.h"

namespace zorvik {

namespace {

constexpr int kTahomaPixels = 11;    // Tahoma 8 pt at the 96 dpi the layout was drawn for
constexpr int kFallbackPixels = 10;  // a condensed face this size runs as wide as that Tahoma
// The caption that needs most of its room: the numbers panel's heading, 290 pixels wide at most.
const QString kWidestCaption =
    QStringLiteral("Numery telefonów z których można zarządzać urządzeniem ");
constexpr int kWidestCaptionRoom = 288;
constexpr qreal kTightestSpacing = 85.0;  // percent; closer than this the text gets hard to read
const QString kQtPolishCatalogue = QStringLiteral("qtbase_pl");  // Qt's own texts, in Polish

}  // namespace

QFont ProgramFont() {
    QFont font;
    if (QFontDatabase::hasFamily(QStringLiteral("Tahoma"))) {
        font.setFamily(QStringLiteral("Tahoma"));
        font.setPixelSize(kTahomaPixels);
        return font;
    }
    // The captions were fitted to Tahoma: the nearest faces are the condensed ones, a pixel
    // smaller. Where only a wide face is present, its letters close up until the widest caption
    // fits its place again.
    font.setFamilies({QStringLiteral("DejaVu Sans Condensed"),
                      QStringLiteral("Liberation Sans Narrow"), QStringLiteral("DejaVu Sans")});
    font.setStretch(QFont::Condensed);
    font.setPixelSize(kFallbackPixels);
    const int width = QFontMetrics(font).horizontalAdvance(kWidestCaption);
    if (width > kWidestCaptionRoom) {
        font.setLetterSpacing(QFont::PercentageSpacing,
                              std::max(kTightestSpacing, 100.0 * kWidestCaptionRoom / width));
    }
    return font;
}

void InstallProgramLook(QApplication& application) {
    application.setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    QPalette palette = application.style()->standardPalette();
    palette.setColor(QPalette::Window, QColor(kButtonFaceColour));
    palette.setColor(QPalette::Button, QColor(kButtonFaceColour));
    palette.setColor(QPalette::Base, QColor(kWindowColour));
    application.setPalette(palette);
    application.setFont(ProgramFont());
    InstallQtPolish(application);
}

bool InstallQtPolish(QApplication& application) {
    // Qt words some texts itself from the locale, such as the file types the file dialogs list.
    QLocale::setDefault(QLocale(QLocale::Polish, QLocale::Poland));
    auto catalogue = std::make_unique<QTranslator>();
    const QString folder = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
    if (!catalogue->load(kQtPolishCatalogue, folder)) {
        qWarning(
            "Qt's Polish texts (%s.qm) are not in %s: Qt's own buttons and dialogs stay in "
            "English",
            qPrintable(kQtPolishCatalogue), qPrintable(folder));
        return false;
    }
    // The application owns it and uses it until it ends.
    catalogue->setParent(&application);
    QApplication::installTranslator(catalogue.release());
    return true;
}

}  // namespace zorvik
