#pragma once

#include "reports/ReportLayout.h"

#include <algorithm>
#include <functional>
#include <memory>
#include <vector>

class Database;

namespace Report {

std::unique_ptr<Body> makeBody(int code);

// One print job: the pagination that records where each page starts, and the drawing of any page on its
// own from that record (so pages can be previewed in any order, repeatedly). Rows are read a window of
// vehicles at a time, as the walk reaches them, and only page starts are kept between pages.
class ReportJob
{
public:
    // pageWidth and pageHeight: the printable area in hundredths of an inch.
    ReportJob(Database& db, const Options& options, double pageWidth, double pageHeight);
    ~ReportJob();
    ReportJob(const ReportJob&) = delete;
    ReportJob& operator=(const ReportJob&) = delete;

    const Layout& layout() const { return m_layout; }
    const Options& options() const { return m_options; }
    QString title() const;

    // Counts the pages. progress is told the pages counted so far and returns false to cancel, in which case
    // paginate returns false and the job has no pages.
    bool paginate(const std::function<bool(int)>& progress = {});
    int pageCount() const { return int(m_starts.size()); }
    // Draws page 1..pageCount: header, body, footer.
    void drawPage(int page, PageCanvas& canvas);

    // How many vehicles' rows are read and held at once.
    void setReadAhead(int vehicles) { m_readAhead = std::max(1, vehicles); }
    // The most rows held at once so far.
    int mostRowsHeld() const { return m_mostRowsHeld; }

private:
    struct Start
    {
        int vehicle = 0;
        int row = -1; // -1: the vehicle starts here; else the first row on the page
    };
    bool walk(Start from, PageCanvas* canvas, const std::function<bool(int)>* progress);
    const VehicleBlocks& vehicleBlocks(int vehicle);
    void place(const Block& block, double y, PageCanvas* canvas) const;
    void drawHeader(PageCanvas& canvas) const;
    void drawOwner(PageCanvas& canvas, int vehicle) const;
    void drawFooter(PageCanvas& canvas, int page) const;

    Database* m_db = nullptr;
    Options m_options;
    Layout m_layout;
    Fleet m_fleet;
    std::unique_ptr<Body> m_body;
    std::vector<Start> m_starts;
    int m_readAhead = 64;
    int m_readFirst = 0; // the window of vehicles whose rows the body holds
    int m_readEnd = 0;
    int m_mostRowsHeld = 0;
    int m_cachedVehicle = -1;
    VehicleBlocks m_cached;
};

} // namespace Report
