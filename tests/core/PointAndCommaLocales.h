#pragma once
// A fixture that runs each test under a point locale (English) and a comma locale (German).
// Expected texts write the locale's decimal separator as '@'.
#include "QStringPrinter.h"

#include <QLocale>
#include <QString>
#include <gtest/gtest.h>

class PointAndCommaLocales : public ::testing::TestWithParam<QLocale::Language> {
protected:
    void SetUp() override
    {
        fSaved = QLocale();
        const bool german = GetParam() == QLocale::German;
        QLocale::setDefault(QLocale(GetParam(), german ? QLocale::Germany : QLocale::UnitedStates));
        fSeparator = QLocale().decimalPoint();
    }
    void TearDown() override { QLocale::setDefault(fSaved); }

    // text with every '@' turned into the locale's decimal separator.
    QString Local(const QString& text) const
    {
        QString local = text;
        return local.replace(u'@', fSeparator);
    }

private:
    QLocale fSaved;
    QString fSeparator;
};

#define INSTANTIATE_POINT_AND_COMMA_LOCALES(suite)                                                                    \
    INSTANTIATE_TEST_SUITE_P(Locales, suite, ::testing::Values(QLocale::English, QLocale::German))
