#pragma once

#include "reports/printcommands.h"

class QWidget;

namespace kelvo {

class ReportEngine;

// The print sequence's report engine with its windows: the bound rows go to the
// engine, "design" opens the template designer and "show" the preview, both
// modal over `parent`.
class ReportWindows final : public ReportFrontEnd {
  public:
    ReportWindows(ReportEngine& engine, MessageService* messages, QWidget* parent);

    void bind(ReportDataSource& rows) override;
    void load(const QString& fileName) override;
    void setVariable(const QString& name, const QString& expression) override;
    void design() override;
    bool prepare() override;
    void showPrepared() override;

    ReportEngine& engine() const { return engine_; }

  private:
    ReportEngine& engine_;
    MessageService* messages_;
    QWidget* parent_;
};

} // namespace kelvo
