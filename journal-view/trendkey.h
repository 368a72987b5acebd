#pragma once

#include <QMetaType>
#include <QString>
#include <QVector>

// One measurement of the journal's trends, as the trends tab names it: the measurement type is
// not part of it, so a slot keeps its trend across a change of configuration.
struct TrendKey
{
    QString installation;
    int node = 0;
    int channel = 0;
    int slot = 0;

    bool isValid() const { return node > 0 && channel > 0 && slot > 0; }
    bool operator==(const TrendKey &o) const
    {
        return node == o.node && channel == o.channel && slot == o.slot &&
               installation == o.installation;
    }
    bool operator!=(const TrendKey &o) const { return !(*this == o); }
    bool operator<(const TrendKey &o) const;

    // "plant:49153|3|2|1", as the settings keep it; an installation may hold any character.
    QString toString() const;
    static TrendKey fromString(const QString &text);
};

Q_DECLARE_METATYPE(TrendKey)
Q_DECLARE_METATYPE(QVector<TrendKey>)
