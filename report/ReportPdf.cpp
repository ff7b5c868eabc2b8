#include "report/ReportPdf.h"

#include "report/ReportChart.h"

#include <QBuffer>
#include <QGuiApplication>
#include <QPageLayout>
#include <QPainter>
#include <QPdfWriter>
#include <algorithm>

namespace veltrim {
namespace {

// Points, A4 portrait: at 72 dots per inch one unit of the painter is one
// point of the page.
constexpr double PageWidth = 595.0, PageHeight = 842.0, Margin = 45.0;
constexpr double TextWidth = PageWidth - 2 * Margin;

QString Q(const std::string& text) {
    return QString::fromStdString(text);
}

// The edition's face; the Japanese one also holds the Latin letters.
QFont ReportFont(Language edition, double points, bool bold = false) {
    QFont font;
    font.setFamilies(edition == Language::Japanese
                         ? QStringList{"IPAGothic", "IPAPGothic", "Noto Sans CJK JP"}
                         : QStringList{"Liberation Sans", "IPAGothic"});
    font.setPointSizeF(points);
    font.setBold(bold);
    return font;
}

class Pages {
  public:
    Pages(QPdfWriter& writer, const ReportContent& report)
        : writer_(writer), painter_(&writer), report_(report) {}

    // Writes `text` in the edition's face and moves down by its height.
    void Line(const std::string& text, double points, bool bold = false, double x = Margin) {
        const QFont font = ReportFont(report_.Edition, points, bold);
        painter_.setFont(font);
        const double height = QFontMetricsF(font).lineSpacing();
        Room(height);
        painter_.drawText(QRectF(x, y_, PageWidth - Margin - x, height), Qt::AlignLeft, Q(text));
        y_ += height;
    }

    void Section(const ReportSection& section) {
        Gap(8);
        Line(section.Title, 11, true);
        const QFont font = ReportFont(report_.Edition, 9);
        painter_.setFont(font);
        const double height = QFontMetricsF(font).lineSpacing();
        for (const ReportLine& line : section.Lines) {
            Room(height);
            painter_.drawText(QRectF(Margin + 10, y_, 200, height), Qt::AlignLeft, Q(line.Label));
            painter_.drawText(QRectF(Margin + 215, y_, TextWidth - 215, height), Qt::AlignLeft,
                              Q(line.Value));
            y_ += height;
        }
    }

    void Paragraphs(const std::string& text) {
        const QFont font = ReportFont(report_.Edition, 9);
        painter_.setFont(font);
        const QRectF bounds = painter_.boundingRect(QRectF(Margin, y_, TextWidth, PageHeight),
                                                    Qt::TextWordWrap, Q(text));
        Room(bounds.height());
        painter_.drawText(QRectF(Margin, y_, TextWidth, bounds.height()), Qt::TextWordWrap,
                          Q(text));
        y_ += bounds.height();
    }

    void Chart(const ReportChart& chart, double height) {
        Room(height);
        DrawReportChart(painter_, QRectF(Margin, y_, TextWidth, height), chart,
                        ReportFont(report_.Edition, 8));
        y_ += height;
    }

    // The table, its header repeated on each page it runs onto.
    void Table() {
        const QFont font = ReportFont(report_.Edition, 8);
        const double height = QFontMetricsF(font).lineSpacing() + 1;
        const std::size_t columns = report_.TableHeader.size();
        const double width = TextWidth / static_cast<double>(std::max<std::size_t>(columns, 1));
        const auto row = [&](const std::vector<std::string>& cells, bool bold) {
            painter_.setFont(ReportFont(report_.Edition, 8, bold));
            for (std::size_t c = 0; c < cells.size(); ++c)
                painter_.drawText(
                    QRectF(Margin + static_cast<double>(c) * width, y_, width - 4, height),
                    Qt::AlignRight, Q(cells[c]));
            y_ += height;
        };
        Gap(8);
        Line(report_.TableTitle, 11, true);
        row(report_.TableHeader, true);
        for (const std::vector<std::string>& cells : report_.TableRows) {
            if (y_ + height > PageHeight - Margin) {
                NewPage();
                row(report_.TableHeader, true);
            }
            row(cells, false);
        }
    }

    void Gap(double points) { y_ += points; }

    void NewPage() {
        writer_.newPage();
        y_ = Margin;
    }

  private:
    // A new page when `height` no longer fits on this one.
    void Room(double height) {
        if (y_ + height > PageHeight - Margin)
            NewPage();
    }

    QPdfWriter& writer_;
    QPainter painter_;
    const ReportContent& report_;
    double y_ = Margin;
};

// Qt's notes about a desktop session (no runtime folder, ...) mean nothing
// to a report written without one; warnings of anything else pass on.
QtMessageHandler QtNotes = nullptr;
void DropSessionNotes(QtMsgType type, const QMessageLogContext& context, const QString& text) {
    if (type == QtDebugMsg || type == QtInfoMsg || text.startsWith(u"QStandardPaths:"))
        return;
    if (QtNotes != nullptr)
        QtNotes(type, context, text);
}

} // namespace

std::string ReportPdfBytes(const ReportContent& report) {
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter writer(&buffer);
        writer.setResolution(72);
        writer.setPageLayout(
            QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(0, 0, 0, 0)));
        writer.setTitle(Q(report.Title));
        writer.setCreator(Q(report.Program));
        Pages pages(writer, report);
        pages.Line(report.Title, 16, true);
        pages.Line(report.Program, 8);
        for (const ReportSection& section : report.Sections)
            pages.Section(section);
        pages.Gap(8);
        pages.Line(report.AccuracyTitle, 11, true);
        pages.Paragraphs(report.Accuracy);
        // A study's report has no charts.
        if (!report.DepthDose.X.empty() || !report.Spectrum.X.empty()) {
            pages.NewPage();
            pages.Chart(report.DepthDose, 360);
            pages.Gap(20);
            pages.Chart(report.Spectrum, 360);
        }
        if (!report.TableRows.empty()) {
            pages.NewPage();
            pages.Table();
        }
    }
    return buffer.data().toStdString();
}

void StartReportFonts() {
    if (QCoreApplication::instance() != nullptr)
        return;
    // A report needs fonts, never a display: the platform is named on the
    // application's own command line, so the process's environment (which
    // other Qt code in it reads too) stays as the user set it.
    QtNotes = qInstallMessageHandler(DropSessionNotes);
    static int argc = 3;
    static char name[] = "veltrim";
    static char platform[] = "-platform";
    static char offscreen[] = "offscreen";
    static char* argv[] = {name, platform, offscreen, nullptr};
    // Kept for the life of the process: a report may be asked for again.
    static QGuiApplication* application = new QGuiApplication(argc, argv);
    (void)application;
}

} // namespace veltrim
