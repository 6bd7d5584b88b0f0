#include "server/TfrmTablet.h"

#include "platform/prompts.h"
#include "platform/qt/qt_text.h"
#include "platform/sjis.h"
#include "server/qr_code.h"
#include "server/qt_measure_canvas.h"

#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QImage>
#include <QLabel>
#include <QListWidget>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QSpinBox>
#include <QTimer>
#include <QVBoxLayout>

namespace tavola {

QImage qrPicture(const std::string& text, int module)
{
    const auto modules = qrModules(text);
    const int n = static_cast<int>(modules.size());
    QImage picture((n + 8) * module, (n + 8) * module, QImage::Format_RGB32);
    picture.fill(Qt::white);
    QPainter painter(&picture);
    for (int y = 0; y < n; ++y)
        for (int x = 0; x < n; ++x)
            if (modules[static_cast<std::size_t>(y)][static_cast<std::size_t>(x)])
                painter.fillRect((x + 4) * module, (y + 4) * module, module, module, Qt::black);
    return picture;
}

TfrmTablet::TfrmTablet(LearnerPlaces places, Prompts& prompts, QWidget* parent)
    : QDialog(parent), places_(std::move(places)), prompts_(prompts)
{
    setObjectName("frmTablet");
    setWindowTitle(sysText("タブレットで学習"));
    setModal(false);
    auto* layout = new QVBoxLayout(this);
    lblLesson = new QLabel(this);
    lblLesson->setObjectName("lblLesson");
    QFont big = lblLesson->font();
    big.setPointSize(big.pointSize() + 3);
    big.setBold(true);
    lblLesson->setFont(big);
    layout->addWidget(lblLesson);

    auto* form = new QFormLayout;
    cmbBind = new QComboBox(this);
    cmbBind->setObjectName("cmbBind");
    spnPort = new QSpinBox(this);
    spnPort->setObjectName("spnPort");
    spnPort->setRange(1024, 65535);
    spnPort->setValue(8080);
    form->addRow(sysText("受け付けるアドレス："), cmbBind);
    form->addRow(sysText("ポート："), spnPort);
    layout->addLayout(form);

    auto* buttons = new QHBoxLayout;
    btnStart = new QPushButton(sysText("開始"), this);
    btnStart->setObjectName("btnStart");
    btnStop = new QPushButton(sysText("停止"), this);
    btnStop->setObjectName("btnStop");
    buttons->addWidget(btnStart);
    buttons->addWidget(btnStop);
    buttons->addStretch(1);
    layout->addLayout(buttons);
    connect(btnStart, &QPushButton::clicked, this, &TfrmTablet::btnStartClick);
    connect(btnStop, &QPushButton::clicked, this, &TfrmTablet::btnStopClick);

    auto* row = new QHBoxLayout;
    imgQR = new QLabel(this);
    imgQR->setObjectName("imgQR");
    imgQR->setFixedSize(240, 240);
    imgQR->setAlignment(Qt::AlignCenter);
    row->addWidget(imgQR);
    auto* right = new QVBoxLayout;
    lblAddress = new QLabel(this);
    lblAddress->setObjectName("lblAddress");
    lblAddress->setTextInteractionFlags(Qt::TextSelectableByMouse);
    lblAddress->setWordWrap(true);
    QFont address = lblAddress->font();
    address.setPointSize(address.pointSize() + 6);
    address.setBold(true);
    lblAddress->setFont(address);
    right->addWidget(lblAddress);
    lblCount = new QLabel(this);
    lblCount->setObjectName("lblCount");
    right->addWidget(lblCount);
    lstPupils = new QListWidget(this);
    lstPupils->setObjectName("lstPupils");
    right->addWidget(lstPupils, 1);
    row->addLayout(right, 1);
    layout->addLayout(row, 1);
    lblNetwork = new QLabel(sysText("タブレットはこのコンピューターと同じネットワークにつないでください。"
                                    "ファイアウォールでこのポートへの接続を許可してください。"),
                            this);
    lblNetwork->setObjectName("lblNetwork");
    lblNetwork->setWordWrap(true);
    layout->addWidget(lblNetwork);

    timRefresh = new QTimer(this);
    timRefresh->setObjectName("timRefresh");
    timRefresh->setInterval(1000);
    connect(timRefresh, &QTimer::timeout, this, &TfrmTablet::timRefreshTimer);
    resize(640, 480);
}

TfrmTablet::~TfrmTablet()
{
    btnStopClick();
}

void TfrmTablet::showFor(int lesson, const std::string& lessonName)
{
    if (!serving()) {
        lesson_ = lesson < 1 ? 1 : lesson;
        lblLesson->setText(sysText("レッスン ") + QString::number(lesson_) + QStringLiteral("：") +
                           toQString(lessonName));
        cmbBind->clear();
        cmbBind->addItem(sysText("すべてのネットワーク (0.0.0.0)"), QStringLiteral("0.0.0.0"));
        for (const std::string& ip : localAddresses())
            cmbBind->addItem(QString::fromStdString(ip), QString::fromStdString(ip));
        cmbBind->addItem(sysText("このコンピューターだけ (127.0.0.1)"), QStringLiteral("127.0.0.1"));
    }
    showState();
    show();
    raise();
    activateWindow();
}

void TfrmTablet::btnStartClick()
{
    if (serving()) return;
    ClassroomOptions options;
    options.places = places_;
    options.lesson = lesson_;
    auto room = std::make_unique<Classroom>(options, qtMeasureCanvases());
    if (Status loaded = room->load(); !loaded) {
        prompts_.message(loaded.message());
        return;
    }
    auto server = std::make_unique<ClassroomServer>(*room);
    const std::string bind = cmbBind->currentData().toString().toStdString();
    if (Status bound = server->bind(bind, spnPort->value()); !bound) {
        prompts_.message(bound.message());
        return;
    }
    server->start();
    room_ = std::move(room);
    server_ = std::move(server);
    timRefresh->start();
    showState();
}

void TfrmTablet::btnStopClick()
{
    timRefresh->stop();
    if (server_) server_->stop();
    server_.reset();
    room_.reset();
    if (btnStart != nullptr) showState();
}

void TfrmTablet::timRefreshTimer()
{
    if (!room_) return;
    const auto pupils = room_->activity();
    lblCount->setText(sysText("接続している児童：") + QString::number(pupils.size()) + sysText(" 人"));
    lstPupils->clear();
    for (const PupilActivity& p : pupils) {
        QString line = toQString(p.learner);
        if (!p.unitLine.empty()) line += QStringLiteral("　") + toQString(p.unitLine);
        if (!p.mode.empty()) line += QStringLiteral("（") + toQString(p.mode) + QStringLiteral("）");
        lstPupils->addItem(line);
    }
}

void TfrmTablet::showState()
{
    const bool on = serving();
    btnStart->setEnabled(!on);
    btnStop->setEnabled(on);
    cmbBind->setEnabled(!on);
    spnPort->setEnabled(!on);
    if (!on) {
        lblAddress->setText(sysText("停止しています"));
        imgQR->clear();
        lblCount->clear();
        lstPupils->clear();
        return;
    }
    // The address pupils type: this computer's address on the network the server listens on.
    std::string host = server_->address();
    if (host == "0.0.0.0") {
        const auto ips = localAddresses();
        host = ips.empty() ? std::string("127.0.0.1") : ips.front();
    }
    const std::string url = serverUrl(host, server_->port());
    lblAddress->setText(QString::fromStdString(url) + QStringLiteral("\n") + sysText("（受け付け：") +
                        QString::fromStdString(server_->address()) + QStringLiteral(":") +
                        QString::number(server_->port()) + QStringLiteral("）"));
    const QImage qr = qrPicture(url, 5);
    imgQR->setPixmap(QPixmap::fromImage(qr).scaled(imgQR->size(), Qt::KeepAspectRatio, Qt::FastTransformation));
    timRefreshTimer();
}

} // namespace tavola
