// Renders the operator windows with sample contents into PNG files for the documentation:
//   korvex_ui_screenshots <folder>
// Runs on any Qt platform (offscreen included); the pictures are the widgets' own rendering.
#include <QApplication>
#include <QDate>
#include <QDir>
#include <QLineEdit>
#include <QMenu>
#include <QPainter>
#include <QTimer>
#include <cstdio>

#include "text/Cp1255.h"
#include "ui/qt/KorvexTray.h"
#include "ui/qt/ProgramIcon.h"
#include "ui/qt/frmChequeData.h"
#include "ui/qt/frmChequeFull.h"
#include "ui/qt/frmDetails.h"
#include "ui/qt/frmFileXfer.h"
#include "ui/qt/frmSplash.h"

namespace {

using korvex::cp1255::fromUtf8;

bool save(QWidget* w, const QDir& dir, const char* name) {
    w->show();
    for (int i = 0; i < 5; ++i) QApplication::processEvents();
    const bool ok = w->grab().save(dir.filePath(QString::fromLatin1(name)));
    std::fprintf(ok ? stdout : stderr, "%s %s\n", ok ? "wrote" : "could not write", name);
    w->hide();
    return ok;
}

// A sample cheque picture for the full-details dialog.
QString sampleCheque(const QDir& dir) {
    QImage cheque(600, 260, QImage::Format_RGB32);
    cheque.fill(QColor(246, 243, 228));
    QPainter p(&cheque);
    p.setPen(QColor(60, 60, 60));
    p.drawRect(cheque.rect().adjusted(4, 4, -5, -5));
    p.setFont(QFont(QStringLiteral("DejaVu Sans"), 16));
    p.drawText(QRect(20, 20, 560, 40), Qt::AlignRight, QString::fromUtf8("בנק לדוגמה בע\"מ"));
    p.drawText(QRect(20, 90, 560, 40), Qt::AlignLeft, QStringLiteral("1,250.00"));
    p.setFont(QFont(QStringLiteral("DejaVu Sans Mono"), 18));
    p.drawText(QRect(20, 200, 560, 40), Qt::AlignCenter,
               QStringLiteral("A1234567 C12A12345E 1234?6C"));
    p.end();
    const QString file = dir.filePath(QStringLiteral("sample-cheque.png"));
    cheque.save(file);
    return file;
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: korvex_ui_screenshots <folder>\n");
        return 2;
    }
    QDir dir(QString::fromLocal8Bit(argv[1]));
    if (!dir.mkpath(QStringLiteral("."))) return 1;
    bool ok = true;

    korvex::ChequeDialogInput in;
    in.ChequeNum = "1234567";
    in.BankNum = "12";
    in.BranchNum = "12345";
    in.AccountNum = "1234?6";
    in.verifyCaption = fromUtf8("הצ'ק לא תקין, קוד שגיאה 3. סמן תיבה זו כדי להתעלם.");
    {
        korvex::ui::frmChequeData data(in);
        ok &= save(&data, dir, "cheque-data.png");
    }
    {
        QDir temp = QDir::temp();
        in.imageFile = sampleCheque(temp).toStdU16String();
        korvex::ui::frmChequeFull full(in, QDate(2026, 12, 6));
        full.txtAmount->setText(QStringLiteral("1250.00"));
        ok &= save(&full, dir, "cheque-full.png");
    }
    {
        korvex::ui::frmDetails details;
        details.addProfile("Default");
        details.addProfile(fromUtf8("בנק12"));
        details.selectProfile(0);
        details.setLastDataSent("1234567{TAB}12{TAB}12345{TAB}123456{ENTER}");
        details.setReaderData("A1234567 C12A12345E 123456C\r\n<<<48213 bytes of image data>>>\r\n");
        ok &= save(&details, dir, "details.png");
    }
    {
        korvex::ui::frmSplash splash(60000, nullptr);
        ok &= save(&splash, dir, "splash.png");
    }
    {
        korvex::ui::frmFileXfer xfer;
        xfer.setFileName("images\\1234567_12_12345.tif");
        xfer.show();
        QApplication::processEvents();
        xfer.Picture1->DrawProgress(0, 50000, 18500, 0xFF0000, 0);
        ok &= save(&xfer, dir, "transfer.png");
    }
    {
        korvex::ui::KorvexTray tray;
        tray.addProfileMenuItem(1, "Default");
        tray.addProfileMenuItem(2, fromUtf8("בנק12"));
        tray.setNoProfilesItemVisible(false);
        tray.setProfileMenuChecked(1, true);
        tray.setRenameCsvEnabled(true);
        QMenu* top = tray.menu();
        QMenu* sub = tray.mnuProfileMenu;
        top->popup(QPoint(0, 0));
        sub->popup(QPoint(0, 0));
        for (int i = 0; i < 5; ++i) QApplication::processEvents();
        const QPixmap a = top->grab(), b = sub->grab();
        const QImage icon = korvex::ui::profileIcon(255, 0, 0, 22, 0, 255, 255, 3)
                                .scaled(72, 72, Qt::KeepAspectRatio, Qt::FastTransformation);
        QImage sheet(a.width() + b.width() + icon.width() + 40,
                     std::max({a.height(), b.height(), icon.height()}) + 20, QImage::Format_RGB32);
        sheet.fill(QColor(220, 224, 230));
        QPainter p(&sheet);
        p.drawImage(10, 10, icon);
        p.drawPixmap(icon.width() + 20, 10, a);
        p.drawPixmap(icon.width() + a.width() + 30, 10, b);
        p.end();
        const bool saved = sheet.save(dir.filePath(QStringLiteral("tray-menu.png")));
        std::fprintf(saved ? stdout : stderr, "%s tray-menu.png\n",
                     saved ? "wrote" : "could not write");
        ok &= saved;
    }
    return ok ? 0 : 1;
}
