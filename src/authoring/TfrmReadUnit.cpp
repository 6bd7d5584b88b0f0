#include "authoring/TfrmReadUnit.h"

#include "authoring/master_editor.h"
#include "platform/prompts.h"
#include "platform/qt/qt_text.h"
#include "platform/qt/qt_widgets.h"
#include "question/question_messages.h"
#include "question/unit_data.h"
#include "worksheet/drawing_pass.h"
#include "worksheet/worksheet_host.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace tavola {

namespace {

QString joined(const Lines& lines)
{
    QStringList out;
    for (const std::string& line : lines)
        out << toQString(line);
    return out.join('\n');
}

// The lines of a memo as the file will hold them; nullopt when a line cannot be written in CP932. A line end at
// the very end starts no further line.
std::optional<Lines> memoLines(const QString& text)
{
    QStringList parts = text.split('\n');
    if (!parts.isEmpty() && parts.last().isEmpty()) parts.removeLast();
    Lines lines;
    for (const QString& part : parts) {
        auto line = fromQString(part);
        if (!line) return std::nullopt;
        lines.push_back(*line);
    }
    return lines;
}

} // namespace

TfrmReadUnit::TfrmReadUnit(WorksheetHost& host, Prompts& prompts, QWidget* parent)
    : QDialog(parent), host_(host), prompts_(prompts)
{
    setObjectName("frmReadUnit");
    setWindowTitle(sysText("Tavola - コピーファイルの編集"));

    lblBanner = new QLabel(sysText("項目を変更した後、［OK］をクリックしてください"), this);
    lblBanner->setObjectName("lblBanner");
    lblBanner->setStyleSheet("QLabel { background: yellow; font-weight: bold; }");
    auto line = [this](const char* name) {
        auto* edit = new QLineEdit(this);
        edit->setObjectName(name);
        return edit;
    };
    edtTangen = line("edtTangen");
    edtSchool = line("edtSchool");
    edtShimei = line("edtShimei");
    edtNQues = line("edtNQues");
    edtNQues->setReadOnly(true);
    redQues = new QPlainTextEdit(this);
    redQues->setObjectName("redQues");
    redQues->setLineWrapMode(QPlainTextEdit::NoWrap);
    auto hidden = [this](const char* name) {
        auto* memo = new QPlainTextEdit(this);
        memo->setObjectName(name);
        memo->hide();
        return memo;
    };
    memQGraph = hidden("memQGraph");
    memAGraph = hidden("memAGraph");
    memData = hidden("memData");

    btnOk = new QPushButton(sysText("Ｏ　Ｋ"), this);
    btnOk->setObjectName("btnOk");
    btnCancel = new QPushButton(sysText("ｷｬﾝｾﾙ"), this);
    btnCancel->setObjectName("btnCancel");
    connect(btnOk, &QPushButton::clicked, this, &TfrmReadUnit::btnOkClick);
    connect(btnCancel, &QPushButton::clicked, this, &QDialog::reject);

    auto* form = new QFormLayout;
    form->addRow(sysText("単元名"), edtTangen);
    form->addRow(sysText("学校名"), edtSchool);
    form->addRow(sysText("氏名欄"), edtShimei);
    form->addRow(sysText("解答欄の数"), edtNQues);
    form->addRow(sysText("問　題"), redQues);
    auto* buttons = rightButtonRow({btnOk, btnCancel});
    auto* all = new QVBoxLayout(this);
    all->addWidget(lblBanner);
    all->addLayout(form, 1);
    all->addLayout(buttons);
    resize(720, 560);
}

int TfrmReadUnit::exec()
{
    if (host_.activeWorksheet() == nullptr) return QDialog::Rejected;
    FormShow();
    return QDialog::exec();
}

void TfrmReadUnit::FormShow()
{
    const Worksheet& sheet = *host_.activeWorksheet();
    edtTangen->setText(toQString(sheet.title));
    edtSchool->setText(toQString(sheet.school));
    edtShimei->setText(toQString(sheet.name));
    redQues->setPlainText(joined(sheet.problemLines));
    memQGraph->setPlainText(joined(sheet.graph));
    memAGraph->setPlainText(joined(sheet.agraph));
    memData->setPlainText(joined(sheet.layoutBlockLines()));
    // Every answer of the page counts, those past the answer-box table too.
    const PageLayout* layout = host_.activeLayout();
    edtNQues->setText(QString::number(layout != nullptr ? layout->answerList.size() - 1 : 0));
}

void TfrmReadUnit::btnOkClick()
{
    Worksheet* sheet = host_.activeWorksheet();
    if (sheet == nullptr) {
        reject();
        return;
    }
    auto data = memoLines(memData->toPlainText());
    if (Status layout = data ? checkLayoutBlocks(*data) : Status::failure(messages::valueBlockError()); !layout) {
        prompts_.message(layout.message());
        return;
    }
    auto title = fromQString(edtTangen->text());
    auto school = fromQString(edtSchool->text());
    auto name = fromQString(edtShimei->text());
    auto lines = memoLines(redQues->toPlainText());
    if (!title || !school || !name || !lines) {
        prompts_.message("コピーファイルに書けない文字が含まれています"_sj);
        return;
    }
    if (std::ssize(*lines) > kMaxProblemLines) {
        prompts_.message(messages::tooManyProblemLines());
        return;
    }
    sheet->title = *title;
    sheet->school = *school;
    sheet->name = *name;
    sheet->problemLines = std::move(*lines);
    sheet->master = false;
    host_.markActiveWorksheetChanged();
    host_.redrawActiveWorksheet();
    accept();
}

} // namespace tavola
