#include "worksheet/TfrmBMP.h"

#include "platform/qt/qt_text.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QVBoxLayout>

namespace tavola {

TfrmBMP::TfrmBMP(QWidget* parent) : QDialog(parent)
{
    setObjectName("frmBMP");
    setWindowTitle(sysText("Loupe 拡大表示"));
    setStyleSheet("QDialog { background: white; }");
    imgBMP = new QLabel(this);
    imgBMP->setObjectName("imgBMP");
    auto* scroll = new QScrollArea(this);
    scroll->setWidget(imgBMP);
    scroll->setStyleSheet("background: white;");
    lblXW = new QLabel(this);
    lblXW->setObjectName("lblXW");
    auto* times = new QLabel("X", this);
    lblYH = new QLabel(this);
    lblYH->setObjectName("lblYH");
    btnClose = new QPushButton(sysText("閉じる"), this);
    btnClose->setObjectName("btnClose");
    connect(btnClose, &QPushButton::clicked, this, &QDialog::accept);

    auto* bottom = new QHBoxLayout;
    bottom->addWidget(lblXW);
    bottom->addWidget(times);
    bottom->addWidget(lblYH);
    bottom->addStretch(1);
    bottom->addWidget(btnClose);
    auto* all = new QVBoxLayout(this);
    all->addWidget(scroll, 1);
    all->addLayout(bottom);
}

void TfrmBMP::showPicture(const QPixmap& picture)
{
    imgBMP->setPixmap(picture);
    imgBMP->resize(picture.size());
    lblXW->setText(QString::number(picture.width()));
    lblYH->setText(QString::number(picture.height()));
    resize(std::max(200, picture.width() + 40), std::max(120, picture.height() + 80));
    move(0, 0);
    exec();
}

} // namespace tavola
