#include "report/pdf_printer.h"

#include <QtCore/QMarginsF>
#include <QtCore/QRectF>
#include <QtCore/QString>
#include <QtGui/QColor>
#include <QtGui/QFont>
#include <QtGui/QFontMetricsF>
#include <QtGui/QGuiApplication>
#include <QtGui/QPageLayout>
#include <QtGui/QPageSize>
#include <QtGui/QPainter>
#include <QtGui/QPdfWriter>
#include <QtGui/QPen>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <random>
#include <stdexcept>
#include <utility>
#include <vector>

namespace pag::report {

namespace fs = std::filesystem;

namespace {

QString Q(const std::string& s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }

// Fonts, layout and painting need a QGuiApplication. One made here lives
// until the program ends.
void EnsureGuiApplication() {
  if (qobject_cast<QGuiApplication*>(QCoreApplication::instance())) return;
  if (QCoreApplication::instance())
    throw std::runtime_error("printing to PDF needs a QGuiApplication, and the program runs a QCoreApplication");
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  // Qt's notes about the desktop session (no XDG_RUNTIME_DIR and the like)
  // mean nothing to a PDF; anything else still reaches the previous handler.
  static QtMessageHandler previous = nullptr;
  previous = qInstallMessageHandler([](QtMsgType type, const QMessageLogContext& context, const QString& message) {
    if (type == QtDebugMsg || type == QtInfoMsg || message.startsWith(QStringLiteral("QStandardPaths:"))) return;
    if (previous) previous(type, context, message);
  });
  static int argc = 1;
  static char name[] = "pag00100";
  static char* argv[] = {name, nullptr};
  static QGuiApplication* app = new QGuiApplication(argc, argv);
  (void)app;
}

QPageSize::PageSizeId PageId(Paper p) {
  switch (p) {
    case Paper::kLetter: return QPageSize::Letter;
    case Paper::kLegal: return QPageSize::Legal;
    case Paper::kA4: break;
  }
  return QPageSize::A4;
}

Qt::Alignment AlignOf(Align a) {
  switch (a) {
    case Align::kCenter: return Qt::AlignHCenter;
    case Align::kRight: return Qt::AlignRight;
    case Align::kLeft: break;
  }
  return Qt::AlignLeft;
}

// One page of the table: lines [first, end), after the heading of the group
// it continues, if any.
struct PageSlice {
  std::size_t first = 0, end = 0;
  const PaymentList::Line* continued = nullptr;
};

// Cuts the table into pages. A page that starts inside a group repeats the
// group's heading, and a group heading never stays alone at the bottom.
std::vector<PageSlice> Paginate(const PaymentList& list, std::size_t rows_per_page) {
  using Kind = PaymentList::Kind;
  std::vector<PageSlice> pages;
  const std::size_t n = list.lines.size();
  const PaymentList::Line* group = nullptr;  // the group the next line belongs to
  std::size_t i = 0;
  while (i < n) {
    PageSlice page;
    page.first = i;
    const Kind k = list.lines[i].kind;
    if (group && (k == Kind::kDetail || k == Kind::kSubtotal)) page.continued = group;
    std::size_t end = std::min(n, i + rows_per_page - (page.continued ? 1 : 0));
    if (end < n && end - 1 > i && list.lines[end - 1].kind == Kind::kGroup) --end;
    for (std::size_t j = i; j < end; ++j) {
      if (list.lines[j].kind == Kind::kGroup) group = &list.lines[j];
      if (list.lines[j].kind == Kind::kTotal || list.lines[j].kind == Kind::kNote) group = nullptr;
    }
    page.end = end;
    pages.push_back(page);
    i = end;
  }
  if (pages.empty()) pages.push_back({});
  return pages;
}

// Everything that is measured once and used on every page.
class PageDrawer {
 public:
  PageDrawer(QPainter& p, const PaymentListLayout& layout, const PaymentList& list, double width, double height)
      : p_(p), layout_(layout), list_(list), width_(width), height_(height) {
    body_ = QFont(Q(layout.font_family));
    body_.setPointSizeF(layout.font_size);
    bold_ = body_;
    bold_.setBold(true);
    title_ = bold_;
    title_.setPointSizeF(layout.font_size + 5);
    heading_ = body_;
    heading_.setPointSizeF(layout.font_size + 1);
    small_ = body_;
    small_.setPointSizeF(std::max(5.0, layout.font_size - 1));
    italic_ = body_;
    italic_.setItalic(true);

    const QFontMetricsF fm(body_, p.device());
    row_h_ = std::ceil(fm.height() * 1.5);
    pad_ = fm.averageCharWidth() * 0.6;
    title_h_ = layout.title.empty() ? 0 : std::ceil(QFontMetricsF(title_, p.device()).height() * 1.5);
    heading_line_h_ = std::ceil(QFontMetricsF(heading_, p.device()).height() * 1.35);
    const std::size_t heading_lines = list.heading.empty() ? 0 : list.heading.size() - (layout.title.empty() ? 0 : 1);
    heading_h_ = title_h_ + static_cast<double>(heading_lines) * heading_line_h_ + row_h_ * 0.6;
    header_row_h_ = std::ceil(row_h_ * 1.25);
    footer_h_ = std::ceil(QFontMetricsF(small_, p.device()).height() * 2.2);
    thin_ = std::max(1.0, width_ / 1600.0);

    int parts = 0;
    for (const auto& c : list.columns) parts += c.width;
    double x = 0;
    for (const auto& c : list.columns) {
      const double w = width_ * c.width / std::max(parts, 1);
      col_x_.push_back(x);
      col_w_.push_back(w);
      x += w;
    }
  }

  std::size_t RowsPerPage() const {
    const double room = height_ - heading_h_ - header_row_h_ - footer_h_;
    return room < row_h_ * 3 ? 0 : static_cast<std::size_t>(room / row_h_);
  }

  void DrawPage(const PageSlice& page, const std::string& footer_left, const std::string& footer_right) {
    const std::size_t first = page.first, end = page.end;
    double y = DrawHeading();
    y = DrawTableHeader(y);
    if (page.continued) {
      PaymentList::Line heading = *page.continued;
      heading.text = heading.continued;
      DrawLine(heading, y, 0);
      y += row_h_;
    }
    int shade = 0;
    for (std::size_t i = first; i < end; ++i) {
      const PaymentList::Line& line = list_.lines[i];
      DrawLine(line, y, line.kind == PaymentList::Kind::kDetail ? shade++ : (shade = 0));
      y += row_h_;
    }
    p_.setPen(QPen(QColor(120, 120, 120), thin_));
    if (end > first) p_.drawLine(QPointF(0, y), QPointF(width_, y));
    DrawFooter(footer_left, footer_right);
  }

 private:
  void Text(const QRectF& r, Qt::Alignment align, const std::string& text, const QFont& font) {
    p_.setFont(font);
    const QFontMetricsF fm(font, p_.device());
    const QRectF inner = r.adjusted(pad_, 0, -pad_, 0);
    p_.drawText(inner, static_cast<int>(align | Qt::AlignVCenter),
                fm.elidedText(Q(text), Qt::ElideRight, std::max(0.0, inner.width())));
  }

  double DrawHeading() {
    double y = 0;
    p_.setPen(Qt::black);
    std::size_t i = 0;
    if (!layout_.title.empty() && !list_.heading.empty()) {
      Text(QRectF(0, 0, width_, title_h_), Qt::AlignHCenter, list_.heading[0], title_);
      y = title_h_;
      i = 1;
    }
    for (; i < list_.heading.size(); ++i) {
      Text(QRectF(0, y, width_, heading_line_h_), Qt::AlignLeft, list_.heading[i], heading_);
      y += heading_line_h_;
    }
    y += row_h_ * 0.3;
    p_.setPen(QPen(Qt::black, thin_ * 2));
    p_.drawLine(QPointF(0, y), QPointF(width_, y));
    return heading_h_;
  }

  double DrawTableHeader(double y) {
    const QRectF band(0, y, width_, header_row_h_);
    p_.fillRect(band, QColor(225, 229, 235));
    p_.setPen(QPen(QColor(90, 90, 90), thin_));
    p_.drawLine(band.topLeft(), band.topRight());
    p_.drawLine(band.bottomLeft(), band.bottomRight());
    p_.setPen(Qt::black);
    for (std::size_t c = 0; c < list_.columns.size(); ++c)
      Text(QRectF(col_x_[c], y, col_w_[c], header_row_h_), AlignOf(list_.columns[c].align), list_.columns[c].title,
           bold_);
    return y + header_row_h_;
  }

  // Text spanning the columns before the summed one, the amount under it.
  void DrawSum(const PaymentList::Line& line, double y, const QFont& font) {
    const int sc = list_.sum_column;
    const double text_w = sc >= 0 ? col_x_[static_cast<std::size_t>(sc)] : width_;
    Text(QRectF(0, y, text_w, row_h_), Qt::AlignRight, line.text, font);
    if (sc >= 0) {
      const auto c = static_cast<std::size_t>(sc);
      Text(QRectF(col_x_[c], y, col_w_[c], row_h_), Qt::AlignRight, line.amount, font);
    }
  }

  void DrawLine(const PaymentList::Line& line, double y, int shade) {
    const QRectF band(0, y, width_, row_h_);
    switch (line.kind) {
      case PaymentList::Kind::kGroup:
        p_.fillRect(band, QColor(236, 240, 246));
        p_.setPen(Qt::black);
        Text(band, Qt::AlignLeft, line.text, bold_);
        break;
      case PaymentList::Kind::kDetail:
        if (shade % 2 == 1) p_.fillRect(band, QColor(247, 247, 247));
        p_.setPen(Qt::black);
        for (std::size_t c = 0; c < line.cells.size() && c < col_x_.size(); ++c)
          Text(QRectF(col_x_[c], y, col_w_[c], row_h_), AlignOf(list_.columns[c].align), line.cells[c], body_);
        break;
      case PaymentList::Kind::kSubtotal:
        p_.setPen(QPen(QColor(150, 150, 150), thin_));
        p_.drawLine(band.topLeft(), band.topRight());
        p_.setPen(Qt::black);
        DrawSum(line, y, bold_);
        break;
      case PaymentList::Kind::kTotal:
        p_.fillRect(band, QColor(225, 229, 235));
        p_.setPen(QPen(Qt::black, thin_ * 2));
        p_.drawLine(band.topLeft(), band.topRight());
        p_.setPen(Qt::black);
        DrawSum(line, y, bold_);
        break;
      case PaymentList::Kind::kNote:
        p_.setPen(QColor(140, 30, 30));
        Text(band, Qt::AlignLeft, line.text, italic_);
        break;
    }
  }

  void DrawFooter(const std::string& left, const std::string& right) {
    const double top = height_ - footer_h_;
    p_.setPen(QPen(QColor(120, 120, 120), thin_));
    p_.drawLine(QPointF(0, top + footer_h_ * 0.2), QPointF(width_, top + footer_h_ * 0.2));
    p_.setPen(QColor(60, 60, 60));
    const QRectF band(0, top + footer_h_ * 0.25, width_, footer_h_ * 0.75);
    Text(band, Qt::AlignLeft, left, small_);
    Text(band, Qt::AlignRight, right, small_);
  }

  QPainter& p_;
  const PaymentListLayout& layout_;
  const PaymentList& list_;
  double width_, height_;
  QFont body_, bold_, title_, heading_, small_, italic_;
  double row_h_ = 0, pad_ = 0, title_h_ = 0, heading_line_h_ = 0, heading_h_ = 0, header_row_h_ = 0, footer_h_ = 0;
  double thin_ = 1;
  std::vector<double> col_x_, col_w_;
};

std::string TemporaryBeside(const std::string& path) {
  static std::mt19937_64 gen{std::random_device{}()};
  return path + "." + std::to_string(gen() % 1000000000ULL) + ".tmp";
}

}  // namespace

int WritePaymentListPdf(const PaymentListLayout& layout, const PaymentList& list, const DateTime& issued_at,
                        const std::string& pdf_path) {
  EnsureGuiApplication();

  // Footers of every page, expanded before anything is drawn so that a
  // fault of the layout leaves no file behind.
  auto footers = [&](int page, int pages) {
    Record r;
    r.Set("PAGINA", static_cast<std::int64_t>(page));
    r.Set("PAGINAS", static_cast<std::int64_t>(pages));
    r.Set("EMISSAO", issued_at);
    const std::string where = "report layout " + layout.name + " [rodape]";
    return std::make_pair(Expand(layout.footer_left, {&r, &list.values}, where),
                          Expand(layout.footer_right, {&r, &list.values}, where));
  };
  footers(1, 1);

  const fs::path folder = fs::path(pdf_path).parent_path();
  if (std::error_code ec; !folder.empty() && !fs::is_directory(folder, ec))
    throw std::runtime_error("cannot write the PDF " + pdf_path + ": there is no folder " + folder.string());
  const std::string tmp = TemporaryBeside(pdf_path);
  int page_count = 0;
  {
    QPdfWriter writer(Q(tmp));
    writer.setResolution(300);
    writer.setPageSize(QPageSize(PageId(layout.paper)));
    writer.setPageOrientation(layout.landscape ? QPageLayout::Landscape : QPageLayout::Portrait);
    writer.setPageMargins(QMarginsF(layout.margin_mm, layout.margin_mm, layout.margin_mm, layout.margin_mm),
                          QPageLayout::Millimeter);
    writer.setCreator(QStringLiteral("pag00100"));
    writer.setTitle(Q(list.heading.empty() ? std::string("Borderô de pagamento") : list.heading.front()));

    QPainter painter;
    if (!painter.begin(&writer)) throw std::runtime_error("cannot write the PDF " + pdf_path);
    try {
      PageDrawer drawer(painter, layout, list, writer.width(), writer.height());
      const std::size_t rows = drawer.RowsPerPage();
      if (rows == 0) throw LayoutError("report layout " + layout.name + ": the page has no room for the table");
      const auto pages = Paginate(list, rows);
      page_count = static_cast<int>(pages.size());
      for (std::size_t i = 0; i < pages.size(); ++i) {
        if (i > 0) writer.newPage();
        const auto [left, right] = footers(static_cast<int>(i) + 1, page_count);
        drawer.DrawPage(pages[i], left, right);
      }
    } catch (...) {
      painter.end();
      std::error_code ec;
      fs::remove(tmp, ec);
      throw;
    }
    painter.end();
  }
  std::error_code ec;
  fs::rename(tmp, pdf_path, ec);
  if (ec) {
    fs::remove(tmp, ec);
    throw std::runtime_error("cannot write the PDF " + pdf_path + ": " + ec.message());
  }
  return page_count;
}

PdfReportPrinter::PdfReportPrinter(TNetConnection& connection, std::string pdf_path)
    : connection_(connection), pdf_path_(std::move(pdf_path)) {}

void PdfReportPrinter::Connect(const std::string& host, int port) {
  connection_.host = host;
  connection_.port = port;
  connection_.Connect();
}

void PdfReportPrinter::Disconnect() { connection_.Disconnect(); }

void PdfReportPrinter::Print(const ReportJob& job) {
  last_.reset();
  PaymentListLayout layout = ReadLayoutFile(job.layout_path);
  if (!job.dialog_setting.empty()) layout.ApplyDialogSetting(job.dialog_setting);
  ReportParams params;
  for (const std::string& p : layout.parameters) params[p];
  if (job.before_get_query_params) job.before_get_query_params(params);

  const PaymentListData data = LoadPaymentListData(connection_, params);
  const PaymentList list = BuildPaymentList(layout, data);
  Summary s;
  s.count = list.count;
  s.total = list.total;
  s.matches_remittance = list.matches_remittance;
  if (list.count > 0 || job.print_if_empty) s.pages = WritePaymentListPdf(layout, list, clock_.Now(), pdf_path_);
  last_ = s;
}

}  // namespace pag::report
