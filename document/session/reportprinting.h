#pragma once
// A report view as the main frame sees it: whether its preview or print job still runs.

class ReportPrinting {
public:
    virtual bool IsPrinting() const = 0;

protected:
    ~ReportPrinting() = default;
};
