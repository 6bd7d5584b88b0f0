#pragma once
// Printing a window as it is shown on screen (the all-units window's 印刷). The printer sits behind this small
// interface so that a test can print into a PDF file instead of a real printer.

class QPrinter;
class QWidget;

namespace tavola {

class FormPrinter {
public:
    virtual ~FormPrinter() = default;
    // Prints the window; false when nothing was printed (the print dialog was cancelled or the printer failed).
    virtual bool printForm(QWidget& form) = 0;
};

// Asks for the printer with the platform's print dialog, then prints.
class DialogFormPrinter : public FormPrinter {
public:
    bool printForm(QWidget& form) override;
};

// Paints the window onto one page from the corner of the printable area, at the printer's resolution as it is at
// the screen's (so it keeps its size on paper), shrunk to fit the page when it is larger.
bool renderFormOnPrinter(QWidget& form, QPrinter& printer);

} // namespace tavola
