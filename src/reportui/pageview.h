#pragma once

#include <QWidget>

namespace kelvo {

class ReportEngine;

// One prepared page drawn at a zoom, painted when it is shown (never recorded
// ahead), so a report of thousands of pages opens at once.
class PageView : public QWidget {
    Q_OBJECT
  public:
    explicit PageView(const ReportEngine& engine, QWidget* parent = nullptr);

    void setPage(int index);
    int page() const { return page_; }
    void setZoom(double zoom);
    double zoom() const { return zoom_; }

    // The page's size in pixels at zoom 1 on this screen.
    QSizeF naturalSize() const;
    QSize sizeHint() const override;

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    const ReportEngine& engine_;
    int page_ = 0;
    double zoom_ = 1.0;
};

} // namespace kelvo
