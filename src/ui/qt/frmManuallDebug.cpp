#include "ui/qt/frmManuallDebug.h"

#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <cstdio>
#include <cstdlib>

#include "ui/qt/UiText.h"

namespace korvex::ui {

void terminateAtOnce(int exitCode) {
    std::fflush(nullptr);
    std::_Exit(exitCode);
}

namespace {

QComboBox* combo(QWidget* parent, const char* name, QStringList samples, QRect where) {
    auto* c = new QComboBox(parent);
    c->setObjectName(QString::fromLatin1(name));
    c->setEditable(true);
    c->setInsertPolicy(QComboBox::NoInsert);
    c->addItems(samples);
    c->setCurrentIndex(-1);
    c->setEditText(QStringLiteral("Combo1"));
    c->setGeometry(where);
    return c;
}

void label(QWidget* parent, const char* name, const char* text, QRect where) {
    auto* l = new QLabel(QString::fromLatin1(text), parent);
    l->setObjectName(QString::fromLatin1(name));
    l->setGeometry(where);
}

}  // namespace

frmManuallDebug::frmManuallDebug(std::function<void(int)> terminate, QWidget* parent)
    : QDialog(parent), terminate_(std::move(terminate)) {
    setObjectName(QStringLiteral("frmManuallDebug"));
    setWindowTitle(QStringLiteral("Debug"));
    setWindowFlag(Qt::WindowStaysOnTopHint);
    setFixedSize(300, 190);
    auto* heading = new QLabel(QStringLiteral("Debug Mode"), this);
    heading->setObjectName(QStringLiteral("Label4"));
    QFont bold = heading->font();
    bold.setBold(true);
    bold.setPointSize(bold.pointSize() + 2);
    heading->setFont(bold);
    heading->setGeometry(10, 8, 280, 26);
    label(this, "Label1", "Bank", QRect(10, 44, 70, 24));
    label(this, "Label2", "Branch", QRect(10, 76, 70, 24));
    label(this, "Label3", "Account", QRect(10, 108, 70, 24));
    // Sample values: two banks, three branches, four accounts.
    cmbBank = combo(this, "cmbBank", {QStringLiteral("10"), QStringLiteral("12")},
                    QRect(90, 44, 200, 24));
    cmbBranch = combo(this, "cmbBranch",
                      {QStringLiteral("800"), QStringLiteral("936"), QStringLiteral("123")},
                      QRect(90, 76, 200, 24));
    cmbAcc = combo(this, "cmbAcc",
                   {QStringLiteral("123456"), QStringLiteral("2003456"), QStringLiteral("39857"),
                    QStringLiteral("400012")},
                   QRect(90, 108, 200, 24));
    cmdCont = new QPushButton(QStringLiteral("Cont"), this);
    cmdCont->setObjectName(QStringLiteral("cmdCont"));
    cmdCont->setGeometry(90, 146, 95, 28);
    cmdCont->setDefault(true);
    Command2 = new QPushButton(QStringLiteral("Exit"), this);
    Command2->setObjectName(QStringLiteral("Command2"));
    Command2->setGeometry(195, 146, 95, 28);
    Command2->setAutoDefault(false);
    connect(cmdCont, &QPushButton::clicked, this, [this] { cmdCont_Click(); });
    connect(Command2, &QPushButton::clicked, this, [this] {
        if (terminate_) terminate_(0);
    });
}

DebugWindowResult frmManuallDebug::run() {
    exec();
    return results_;
}

void frmManuallDebug::cmdCont_Click() {
    results_.bank = toCp1255(cmbBank->currentText());
    results_.branch = toCp1255(cmbBranch->currentText());
    results_.account = toCp1255(cmbAcc->currentText());
    accept();
}

void frmManuallDebug::reject() { cmdCont_Click(); }

}  // namespace korvex::ui
