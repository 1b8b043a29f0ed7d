#pragma once

#include <QPushButton>

// A command button whose caption the user names freely: one longer than the
// button shows its beginning and "…" (rather than a middle cut off at both
// ends), and its tool tip then gives it whole. text() is what shows;
// caption() is what the user gave.
class CaptionButton : public QPushButton
{
    Q_OBJECT

public:
    CaptionButton(const QString &toolTip, QWidget *parent = nullptr);

    QString caption() const { return m_caption; }
    void setCaption(const QString &caption);

protected:
    void resizeEvent(QResizeEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    void showCaption();

    QString m_caption;
    QString m_toolTip;
};
