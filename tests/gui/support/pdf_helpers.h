#pragma once
// Printing to a PDF as a person does it, and reading back what was printed.
#include <QLineEdit>
#include <QPrintDialog>
#include <QProcess>
#include <QSpinBox>
#include <QStringList>
#include <QTest>

namespace tavola::test {

// The system print dialog set to write the PDF file with the copy count, then OK.
inline void printToPdf(QPrintDialog* dialog, const QString& file, int copies)
{
    auto* name = dialog->findChild<QLineEdit*>("filename");
    auto* count = dialog->findChild<QSpinBox*>("copies");
    QVERIFY(name != nullptr && count != nullptr);
    name->setText(file);
    count->setValue(copies);
    dialog->accept();
}

// pdftotext of every page (with options such as "-layout"), pages split at form feeds.
inline QStringList pdfPages(const QString& file, QStringList options = {})
{
    QProcess text;
    text.start("pdftotext", options << file << "-");
    if (!text.waitForFinished(60000)) return {};
    QStringList pages = QString::fromUtf8(text.readAllStandardOutput()).split('\f');
    if (!pages.isEmpty() && pages.last().trimmed().isEmpty()) pages.removeLast();
    return pages;
}

} // namespace tavola::test
