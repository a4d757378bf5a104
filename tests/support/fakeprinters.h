// A fixed list of printers for window tests. Each printer's surface forwards to a recording
// surface that the test owns, so what a print did can be read after the window let go of it.
#pragma once

#include <map>

#include "print/printsurface.h"
#include "printers/printersystem.h"
#include "recordingsurface.h"

class ForwardingSurface : public PrintSurface {
  public:
    explicit ForwardingSurface(RecordingSurface& target) : t_(target) {}
    void setPaperSize(int code) override { t_.setPaperSize(code); }
    void setOrientation(int code) override { t_.setOrientation(code); }
    void setScaleMode(int code) override { t_.setScaleMode(code); }
    void setFontName(const QString& name) override { t_.setFontName(name); }
    void setFontBold(bool bold) override { t_.setFontBold(bold); }
    void setFontItalic(bool italic) override { t_.setFontItalic(italic); }
    void setFontSize(float points) override { t_.setFontSize(points); }
    int paperWidth() const override { return t_.paperWidth(); }
    int paperHeight() const override { return t_.paperHeight(); }
    float textWidth(const QString& text) override { return t_.textWidth(text); }
    float textHeight(const QString& text) override { return t_.textHeight(text); }
    void setCurrentX(float x) override { t_.setCurrentX(x); }
    void setCurrentY(float y) override { t_.setCurrentY(y); }
    bool printText(const QString& text) override { return t_.printText(text); }
    bool drawLine(float x1, float y1, float x2, float y2) override {
        return t_.drawLine(x1, y1, x2, y2);
    }
    bool endDoc() override { return t_.endDoc(); }
    void abortDoc() override { t_.abortDoc(); }
    QString deviceName() const override { return t_.deviceName(); }
    QString errorText() const override { return t_.errorText(); }

  private:
    RecordingSurface& t_;
};

class FakePrinterSystem : public PrinterSystem {
  public:
    QStringList names;
    QString defaultName;
    // What each printer received; a printer's entry is made on first use.
    std::map<QString, RecordingSurface> paper;
    QStringList surfacesAskedFor;

    QStringList printerNames() const override { return names; }
    QString defaultPrinterName() const override { return defaultName; }
    std::unique_ptr<PrintSurface> surfaceFor(const QString& name) override {
        surfacesAskedFor << name;
        if (!names.contains(name)) return nullptr;
        RecordingSurface& target = paper[name];
        target.name = name;
        return std::make_unique<ForwardingSurface>(target);
    }
};
