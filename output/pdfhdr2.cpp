// The PDF document behind "Tulosta pdf": QPdfWriter at 96 dpi, the file
// replaced only by a complete document, so a failed export never cuts a PDF.

#include "pdfhdr2.h"

#include "base/commanderror.h"
#include "output/scaling.h"
#include "storage/stagedfiles.h"
#include "storage/textfile.h"

#include <QBuffer>
#include <QDesktopServices>
#include <QDir>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QSaveFile>
#include <QUrl>

using namespace Qt::StringLiterals;

namespace {

// Device units per inch of the PDF surface.
constexpr int kPdfDotsPerInch = 96;

struct PointSize
{
    int width;
    int height;
};

// Portrait page sizes in points.
PointSize pointSizeOf(TPageSize size)
{
    switch (size) {
    case TPageSize::psA4:
        return {595, 842};
    case TPageSize::psLetter:
        return {612, 792};
    case TPageSize::psLegal:
        return {612, 1008};
    case TPageSize::psCustom:
        break;
    }
    return {0, 0};
}

CommandError notWritten(const QString &path)
{
    return CommandError(PdfNotWrittenText(path));
}

} // namespace

QString PdfNotWrittenText(const QString &path)
{
    return u"Pdf-tiedostoa ei voitu kirjoittaa:\r\n%1"_s.arg(QDir::toNativeSeparators(path));
}

TNimbPDF::TNimbPDF()
{
    SetPageSize(TPageSize::psA4);
}

TNimbPDF::~TNimbPDF()
{
    // A document never finished leaves no file behind.
    if (m_canvas && m_canvas->isActive())
        m_canvas->end();
}

void TNimbPDF::SetPageSize(TPageSize size)
{
    m_pageSize = size;
    if (size == TPageSize::psCustom)
        return;
    const PointSize points = pointSizeOf(size);
    m_widthPoints = points.width;
    m_heightPoints = points.height;
}

void TNimbPDF::SetOrientation(TPageOrientation orientation)
{
    m_orientation = orientation;
    const bool wide = m_widthPoints > m_heightPoints;
    if ((orientation == TPageOrientation::poPortrait) == wide)
        std::swap(m_widthPoints, m_heightPoints);
}

int TNimbPDF::PageWidth() const
{
    return MulDiv(m_widthPoints, kPdfDotsPerInch, 72);
}

int TNimbPDF::PageHeight() const
{
    return MulDiv(m_heightPoints, kPdfDotsPerInch, 72);
}

void TNimbPDF::BeginDoc()
{
    // A folder that is missing or cannot be written shows before any drawing;
    // a batch's folder was made for it, and staging shows the rest.
    if (!Staging) {
        QSaveFile probe(FileName);
        if (!probe.open(QIODevice::WriteOnly))
            throw notWritten(FileName);
        probe.cancelWriting();
    }
    // The document is made in memory and written whole at the end, where a
    // short write (a full disk) is seen and the older file stays.
    m_file = std::make_unique<QBuffer>();
    m_file->open(QIODevice::WriteOnly);
    m_writer = std::make_unique<QPdfWriter>(m_file.get());
    m_writer->setResolution(kPdfDotsPerInch);
    m_writer->setPageSize(QPageSize(QSizeF(m_widthPoints, m_heightPoints), QPageSize::Point));
    m_writer->setPageMargins(QMarginsF(0, 0, 0, 0));
    m_writer->setTitle(Title);
    m_writer->setCreator(Creator);
    m_canvas = std::make_unique<QPainter>();
    if (!m_canvas->begin(m_writer.get()))
        throw notWritten(FileName);
    m_pageCount = 1;
}

void TNimbPDF::NewPage()
{
    if (m_writer && m_writer->newPage())
        ++m_pageCount;
}

void TNimbPDF::EndDoc()
{
    if (!m_canvas || !m_canvas->end())
        throw notWritten(FileName);
    const bool written = Staging ? Staging->Stage(FileName, m_file->data()) : ReplaceFileContents(FileName, m_file->data());
    if (!written)
        throw notWritten(FileName);
    m_canvas.reset();
    m_writer.reset();
    m_file.reset();
    if (AutoLaunch)
        QDesktopServices::openUrl(QUrl::fromLocalFile(FileName));
}

QPainter *TNimbPDF::GetCanvas()
{
    return m_canvas.get();
}
