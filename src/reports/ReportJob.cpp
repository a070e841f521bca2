#include "reports/ReportJob.h"

#include "db/Clock.h"
#include "reports/ReportCatalogue.h"
#include "reports/ReportText.h"

namespace Report {

namespace {
constexpr double TopMargin = 30;     // first header line below the top of the printable area
constexpr double HeaderGap = 5;
constexpr double HeaderRoom = 83;    // the header's room above the body's seven lines
constexpr double FooterDrop = 30;    // footer rule below the usable height
constexpr double OwnerIndent = 75;
} // namespace

ReportJob::ReportJob(Database& db, const Options& options, double pageWidth, double pageHeight)
    : m_db(&db), m_options(options)
{
    m_layout.pageWidth = pageWidth;
    m_layout.pageHeight = pageHeight;
    m_layout.lineWidth = ReportCatalogue::lineWidth(options.code);
    m_layout.blockWidth = charWidth(Font::Body) * m_layout.lineWidth;
    m_layout.blockLeft = (pageWidth - m_layout.blockWidth) / 2;
    m_layout.usableHeight = pageHeight - 60;
    m_layout.line = lineHeight(Font::Body);
    m_layout.bodyTop = HeaderRoom + 7 * m_layout.line;
    m_body = makeBody(options.code);
    if (m_body) {
        m_fleet = loadFleet(db, options);
        m_body->load(db, m_fleet, options, m_layout);
    }
}

ReportJob::~ReportJob() = default;

QString ReportJob::title() const
{
    return ReportCatalogue::title(m_options.code);
}

bool ReportJob::paginate(const std::function<bool(int)>& progress)
{
    m_starts.clear();
    if (!walk({}, nullptr, progress ? &progress : nullptr)) {
        m_starts.clear();
        return false;
    }
    if (m_starts.empty())
        m_starts.push_back({});
    return true;
}

void ReportJob::drawPage(int page, PageCanvas& canvas)
{
    if (page < 1 || page > pageCount())
        return;
    canvas.beginSection(Section::Header);
    drawHeader(canvas);
    canvas.beginSection(Section::Body);
    walk(m_starts[size_t(page - 1)], &canvas, nullptr);
    canvas.beginSection(Section::Footer);
    drawFooter(canvas, page);
}

// The one walk over vehicles and rows: counting when no canvas is given (recording every page start),
// drawing one page from its start otherwise (stopping where the next page would begin).
bool ReportJob::walk(Start from, PageCanvas* canvas, const std::function<bool(int)>* progress)
{
    const int vehicleCount = int(m_fleet.vehicles.size());
    if (!m_body || from.vehicle >= vehicleCount)
        return true;
    const double usable = m_layout.usableHeight;
    double cursor = 0;
    int rowsOnPage = 0;
    int vehiclesOnPage = 0;
    bool pageStarted = false;
    bool forceBreak = false;
    int pageOwner = -1;
    const VehicleBlocks* blocks = nullptr;

    // Returns false when the walk should stop: a drawn page is complete, or counting was cancelled.
    const auto beginPage = [&](Start start) {
        if (canvas && pageStarted)
            return false;
        pageStarted = true;
        cursor = m_layout.bodyTop;
        rowsOnPage = 0;
        vehiclesOnPage = 0;
        forceBreak = false;
        pageOwner = m_fleet.vehicles[size_t(start.vehicle)].owner;
        if (canvas)
            drawOwner(*canvas, start.vehicle);
        if (!canvas) {
            m_starts.push_back(start);
            if (progress && !(*progress)(int(m_starts.size())))
                return false;
        }
        if (start.row >= 0) {
            place(blocks->continuation, cursor, canvas);
            cursor += blocks->continuation.height;
        }
        return true;
    };

    for (int v = from.vehicle; v < vehicleCount; ++v) {
        blocks = &vehicleBlocks(v);
        // A vehicle with nothing to print (no job orders) takes no room and starts no page.
        if (blocks->rows.empty() && blocks->head.ops.empty() && blocks->head.height == 0)
            continue;
        int row = v == from.vehicle ? from.row : -1;
        if (!pageStarted) {
            if (!beginPage({v, row}))
                return false;
        } else {
            const bool empty = rowsOnPage == 0 && vehiclesOnPage == 0;
            double need = blocks->head.height;
            if (!blocks->rows.empty())
                need += blocks->rows.front().ownPage ? usable * 2 : blocks->rows.front().need;
            const bool ownerChanges = m_body->ownerStartsPage() && m_fleet.vehicles[size_t(v)].owner != pageOwner;
            const bool full = m_body->vehiclesPerPage() > 0 && vehiclesOnPage >= m_body->vehiclesPerPage();
            if (!empty && (forceBreak || ownerChanges || full || cursor > usable || cursor + need > usable))
                if (!beginPage({v, -1}))
                    return canvas != nullptr;
        }
        if (row < 0) {
            place(blocks->head, cursor, canvas);
            cursor += blocks->head.height;
            ++vehiclesOnPage;
            row = 0;
        }
        for (; row < int(blocks->rows.size()); ++row) {
            const Block& block = blocks->rows[size_t(row)];
            const bool breakHere =
                rowsOnPage > 0 && (forceBreak || block.ownPage || cursor + block.need > usable);
            if (breakHere && !beginPage({v, row}))
                return canvas != nullptr;
            place(block, cursor, canvas);
            cursor += block.height;
            ++rowsOnPage;
            forceBreak = block.ownPage;
        }
    }
    return true;
}

// Consecutive pages of one vehicle draw from the same blocks. A vehicle outside the window read last starts
// a new window, so a walk in order reads each row once and a page drawn out of order reads one window.
const VehicleBlocks& ReportJob::vehicleBlocks(int vehicle)
{
    if (m_cachedVehicle != vehicle) {
        if (vehicle < m_readFirst || vehicle >= m_readEnd) {
            m_readFirst = vehicle;
            m_readEnd = std::min(int(m_fleet.vehicles.size()), vehicle + m_readAhead);
            std::vector<qint32> ids;
            ids.reserve(size_t(m_readEnd - m_readFirst));
            for (int v = m_readFirst; v < m_readEnd; ++v)
                ids.push_back(m_fleet.vehicles[size_t(v)].vehicleId);
            m_mostRowsHeld = std::max(m_mostRowsHeld, m_body->read(*m_db, ids));
        }
        m_cached = m_body->vehicle(vehicle);
        m_cachedVehicle = vehicle;
    }
    return m_cached;
}

void ReportJob::place(const Block& block, double y, PageCanvas* canvas) const
{
    if (!canvas)
        return;
    const double x = m_layout.blockLeft;
    for (const Op& op : block.ops) {
        switch (op.kind) {
        case Op::Text:
            canvas->text(x + op.x, y + op.y, op.font, op.text, op.fill);
            break;
        case Op::Line:
            canvas->line(x + op.x, y + op.y, x + op.x + op.width, y + op.y + op.height, op.pen.value_or(Pen{}));
            break;
        case Op::Rect:
            canvas->rect(x + op.x, y + op.y, op.width, op.height, op.pen, op.fill);
            break;
        }
    }
}

void ReportJob::drawHeader(PageCanvas& canvas) const
{
    const double left = m_layout.blockLeft;
    if (m_options.companyInfo)
        for (int i = 0; i < 4; ++i)
            canvas.text(left, TopMargin + i * lineHeight(Font::Company), Font::Company,
                        m_options.companyLines.value(i));
    const auto centred = [this](Font font, const QString& text) {
        return m_layout.blockLeft + (m_layout.blockWidth - textWidth(font, text)) / 2;
    };
    const QString heading = QStringLiteral("Vehicle Management Report");
    canvas.text(centred(Font::Title, heading), TopMargin, Font::Title, heading);
    const double nameY = TopMargin + lineHeight(Font::Title) + HeaderGap;
    canvas.text(centred(Font::ReportName, title()), nameY, Font::ReportName, title());
    const double ruleY = nameY + lineHeight(Font::ReportName) + HeaderGap;
    canvas.line(left, ruleY, left + m_layout.blockWidth, ruleY, Pen{});
}

void ReportJob::drawOwner(PageCanvas& canvas, int vehicle) const
{
    const int owner = m_fleet.vehicles[size_t(vehicle)].owner;
    const QStringList lines = ReportText::ownerLines(m_fleet.owners[size_t(owner)]);
    const double top = TopMargin + lineHeight(Font::Title) + lineHeight(Font::ReportName) + 3 * HeaderGap;
    for (int i = 0; i < lines.size(); ++i)
        canvas.text(m_layout.blockLeft + OwnerIndent, top + i * m_layout.line, Font::Band, lines[i]);
}

void ReportJob::drawFooter(PageCanvas& canvas, int page) const
{
    const double left = m_layout.blockLeft;
    const double right = left + m_layout.blockWidth;
    const double ruleY = m_layout.usableHeight + FooterDrop;
    canvas.line(left, ruleY, right, ruleY, Pen{});
    const double y = ruleY + HeaderGap;
    canvas.text(left, y, Font::Footer, QStringLiteral("Velmora / Halvern Software, Inc."));
    const QString date = QStringLiteral("Date: ") + Clock::today().toString(QStringLiteral("MM/dd/yyyy"));
    canvas.text(left + (m_layout.blockWidth - textWidth(Font::Footer, date)) / 2, y, Font::Footer, date);
    const QString number = QStringLiteral("Page: %1").arg(page);
    canvas.text(right - textWidth(Font::Footer, number), y, Font::Footer, number);
    if (m_body && !m_body->footerNote().isEmpty())
        canvas.text(left, y + lineHeight(Font::Footer), Font::Footer, m_body->footerNote());
}

} // namespace Report
