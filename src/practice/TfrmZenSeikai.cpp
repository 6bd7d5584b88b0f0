#include "practice/TfrmZenSeikai.h"

#include "platform/qt/qt_text.h"

#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

namespace tavola {

TfrmZenSeikai::TfrmZenSeikai(QWidget* parent) : QDialog(parent)
{
    setObjectName("frmZenSeikai");
    setWindowTitle(sysText("全問正解"));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);

    auto* panel = new QFrame(this);
    panel->setObjectName("Panel1");
    panel->setAutoFillBackground(true);
    QPalette yellow = panel->palette();
    yellow.setColor(QPalette::Window, QColor(255, 255, 0));
    panel->setPalette(yellow);
    panel->setFrameShape(QFrame::StyledPanel);

    auto label = [panel](const char* name, const char* text, const QColor& colour, int pixels) {
        auto* l = new QLabel(sysText(text), panel);
        l->setObjectName(name);
        l->setAlignment(Qt::AlignCenter);
        QFont f(sysText("ＭＳ Ｐゴシック"));
        f.setPixelSize(pixels);
        f.setBold(true);
        l->setFont(f);
        QPalette p = l->palette();
        p.setColor(QPalette::WindowText, colour);
        l->setPalette(p);
        return l;
    };
    lblStarsTop = label("lblStarsTop", "★★★★★★", QColor(255, 0, 0), 28);
    lblMessage = label("lblMessage", "全問正解です", QColor(0, 0, 0), 32);
    lblStarsBottom = label("lblStarsBottom", "★★★★★★", QColor(255, 0, 0), 28);
    btnOk = new QPushButton("OK", this);
    btnOk->setObjectName("btnOk");
    btnOk->setDefault(true);
    connect(btnOk, &QPushButton::clicked, this, &QDialog::accept);

    auto* inside = new QVBoxLayout(panel);
    inside->setContentsMargins(24, 16, 24, 16);
    inside->addWidget(lblStarsTop);
    inside->addWidget(lblMessage);
    inside->addWidget(lblStarsBottom);
    auto* all = new QVBoxLayout(this);
    all->addWidget(panel);
    all->addWidget(btnOk, 0, Qt::AlignHCenter);
    setFixedSize(sizeHint());
}

void TfrmZenSeikai::showEvent(QShowEvent* event)
{
    if (QScreen* screen = this->screen()) {
        QRect area = screen->availableGeometry();
        move(area.center() - rect().center());
    }
    QDialog::showEvent(event);
    btnOk->setFocus();
}

} // namespace tavola
