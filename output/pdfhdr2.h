#pragma once

#include <QString>

#include <memory>

class QBuffer;
class StagedFiles;
class QPainter;
class QPdfWriter;

// The PDF document the invoice is drawn into, page by page, as on a printer:
// a drawing surface at 96 device units per inch (a unit is a screen pixel),
// A4 portrait unless told otherwise. Fonts are embedded as subsets, so the
// text can be searched and copied.

/// The message of a PDF file that could not be written.
QString PdfNotWrittenText(const QString &path);

enum class TPageSize { psCustom, psA4, psLetter, psLegal };
enum class TPageOrientation { poPortrait, poLandscape };

class TNimbPDF
{
public:
    TNimbPDF();
    ~TNimbPDF();
    TNimbPDF(const TNimbPDF &) = delete;
    TNimbPDF &operator=(const TNimbPDF &) = delete;

    QString FileName;
    QString Author;
    QString Title;
    QString Subject;
    QString Keywords;
    QString Creator;
    /// Opens the finished file with the desktop's PDF viewer after EndDoc.
    bool AutoLaunch = false;
    /// When set, EndDoc stages the finished file in this batch, which puts
    /// it under FileName at its Commit, rather than writing it at once.
    StagedFiles *Staging = nullptr;

    TPageSize PageSize() const { return m_pageSize; }
    /// Sets the page size in points from the table of sizes, portrait.
    void SetPageSize(TPageSize size);
    TPageOrientation Orientation() const { return m_orientation; }
    /// Turns the stored page size to the orientation.
    void SetOrientation(TPageOrientation orientation);
    /// The page size in device units: points × 96 ÷ 72 (793 × 1123 for A4).
    int PageWidth() const;
    int PageHeight() const;
    /// Pages begun so far.
    int PageCount() const { return m_pageCount; }

    /// Starts the document with its first page. An existing file of that name
    /// stays whole until EndDoc succeeds. Throws CommandError with a Finnish
    /// message naming the path when the file cannot be written there.
    void BeginDoc();
    /// Starts the next page; the canvas draws on it from now on.
    void NewPage();
    /// Finishes the document and puts it under FileName, replacing an older
    /// one only now, or stages it (Staging). Throws CommandError when it cannot.
    void EndDoc();
    /// The canvas of the current page; valid from BeginDoc to EndDoc.
    QPainter *GetCanvas();

private:
    int m_widthPoints = 0;
    int m_heightPoints = 0;
    TPageSize m_pageSize = TPageSize::psA4;
    TPageOrientation m_orientation = TPageOrientation::poPortrait;
    int m_pageCount = 0;
    std::unique_ptr<QBuffer> m_file;
    std::unique_ptr<QPdfWriter> m_writer;
    std::unique_ptr<QPainter> m_canvas;
};
