#include "app/TfrmVersion.h"

#include "app/app_texts.h"

#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QShowEvent>
#include <QVBoxLayout>

namespace tavola {

TfrmVersion::TfrmVersion(QWidget* parent) : QDialog(parent)
{
    setObjectName("frmVersion");
    setWindowTitle(QString::fromUtf8("バージョン情報"));
    // A dialog frame: no resizing, no help button.
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);

    auto* imgIcon = new QLabel(this);
    imgIcon->setObjectName("imgIcon");
    imgIcon->setPixmap(QPixmap(":/main/app_icon.png"));
    imgIcon->setAlignment(Qt::AlignTop);

    auto* lblProduct = new QLabel(QString::fromUtf8(kMainCaption), this);
    lblProduct->setObjectName("lblProduct");
    QFont big = lblProduct->font();
    big.setPointSize(big.pointSize() + 2);
    big.setBold(true);
    lblProduct->setFont(big);

    auto* lblVersion = new QLabel(QString::fromUtf8(kVersionText), this);
    lblVersion->setObjectName("lblVersion");

    auto* lblPublisher = new QLabel(QString::fromUtf8("算数問題集シリーズ\n"
                                                      "小学校の算数を、プリントと画面の練習で。\n"
                                                      "教材・ソフトウェア　Tavola++ 編集室"),
                                    this);
    lblPublisher->setObjectName("lblPublisher");
    lblPublisher->setFrameShape(QFrame::StyledPanel);
    lblPublisher->setMargin(8);

    btnClose = new QPushButton(QString::fromUtf8("閉じる"), this);
    btnClose->setObjectName("btnClose");
    btnClose->setDefault(true);
    connect(btnClose, &QPushButton::clicked, this, &QDialog::accept);

    auto* text = new QVBoxLayout;
    text->addWidget(lblProduct);
    text->addWidget(lblVersion);
    text->addSpacing(8);
    text->addWidget(lblPublisher);
    auto* top = new QHBoxLayout;
    top->addWidget(imgIcon);
    top->addSpacing(12);
    top->addLayout(text, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(btnClose);
    buttons->addStretch(1);
    auto* all = new QVBoxLayout(this);
    all->addLayout(top);
    all->addSpacing(8);
    all->addLayout(buttons);
    setFixedSize(sizeHint());
}

void TfrmVersion::showEvent(QShowEvent* event)
{
    // Centred on the screen, not on the main window.
    if (QScreen* screen = QGuiApplication::primaryScreen()) {
        QRect area = screen->geometry();
        move(area.center() - QPoint(width() / 2, height() / 2));
    }
    QDialog::showEvent(event);
}

} // namespace tavola
