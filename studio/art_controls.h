#pragma once

#include "ezedudu/conversion_options.h"

#include <QWidget>

#include <vector>

namespace ezedudu {

class OptionField;

// A control for every option of the option table, labelled as the table
// says. Every change of the user's is announced with changed().
class ArtControls : public QWidget {
    Q_OBJECT

public:
    explicit ArtControls(QWidget* parent);

    ConversionOptions Options() const;
    PreviewTheme Theme() const;
    // Shows the options without announcing a change.
    void SetOptions(const ConversionOptions& options, PreviewTheme theme);

signals:
    void changed();

private:
    ArtSettings Settings() const;

    std::vector<OptionField*> fields;
};

} // namespace ezedudu
