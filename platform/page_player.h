#pragma once

#include <QRect>
#include <QSizeF>
#include <string>
#include <vector>

#include "core/result.h"
#include "reports/form_engine.h"
#include "reports/recorded_page.h"

class CFWEngineImp;
class QPainter;

/// Plays finished report pages onto Qt paint devices: the printer, PDF and PNG files and the
/// preview. Drawing text needs a QGuiApplication (the offscreen platform will do).

/// Draws `page` so that its logical extent fills `deviceRect` (in the painter's coordinates).
/// `deviceDotsPerMm` is the device's resolution, which sets how thin the thinnest line is.
void PlayPage(const TRecordedPage& page, QPainter& painter, const QRect& deviceRect,
              QSizeF deviceDotsPerMm);

/// Where a page of paper size `size` lies on a device whose printable area is `printable`:
/// its size in whole device pixels, centred on the printable area, so that on smaller paper it
/// reaches beyond the area equally on both sides. A size of 0 takes the whole area.
QRect PageRectOnDevice(TPageSize size, const QRect& printable, QSizeF dotsPerMm);

/// Builds page `page` of the engine's report and plays it centred on `printable`. False with a
/// sentence in `error` when the page cannot be built.
bool PrintReportPage(CFWEngineImp& engine, const CFWEngine& report, int page, QPainter& painter,
                     const QRect& printable, QSizeF dotsPerMm, std::string& error);

/// Writes every page of `report` to one PDF file of the report's paper size, one page built at
/// a time. The file is written beside `path` and renamed into place; on failure nothing is left
/// under `path` (an older file there stays as it was) and the result says why.
TResult<void> WriteReportPdf(const CFWEngine& report, const std::string& path);

/// Writes every page of `report` as PREFIX-1.png, PREFIX-2.png ... at `dotsPerInch` (30 to
/// 600) on white; the result lists the files. On failure the files this call wrote are removed
/// again and the result says why.
TResult<std::vector<std::string>> WriteReportPngs(const CFWEngine& report,
                                                  const std::string& prefix, int dotsPerInch);
