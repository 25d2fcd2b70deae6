#include "depreciation/plan.h"

#include "depreciation/proration.h"
#include "depreciation/rounding.h"
#include "depreciation/statements.h"

namespace kelvo {
namespace {

const QString kNoPrice = QStringLiteral("Není vyplněn údaj pro výpočet odpisů - cena!");
const QString kNoDate = QStringLiteral("Není vyplněn údaj pro výpočet odpisů - datum!");
const QString kBadDate = QStringLiteral("Chyba údaje pro výpočet odpisů - datum!");
const QString kNoGroup = QStringLiteral("Není vyplněn údaj pro výpočet odpisů - skupina odpisu!");
const QString kNoMethod = QStringLiteral("Není vyplněn údaj pro výpočet odpisů - způsob odpisu!");
// Two cases the rate tables can produce that would otherwise divide by zero
// halfway through a run, after the old rows were already deleted.
const QString kNoCoefficient = QStringLiteral("Chyba údaje pro výpočet odpisů - koeficient prvního roku!");
const QString kOneYear = QStringLiteral("Chyba údaje pro výpočet odpisů - počet let odpisu!");

const char* const kRateTables[] = {"def_odpisr", "def_odpisz", "def_odpis10", "def_odpis15", "def_odpis20"};

QString number(int value) { return QString::number(value); }

QString rowsInYearOrder(const QString& id)
{
    return statementOf({QStringLiteral("select * from odpisy where id_karta=") + id + QStringLiteral(" order by rok")});
}

} // namespace

const QStringList& depreciationMethodNames()
{
    static const QStringList names{
        QStringLiteral("rovnoměrně"),          QStringLiteral("zrychleně"),
        QStringLiteral("zvýšený odpis o 10%"), QStringLiteral("zvýšený odpis o 15%"),
        QStringLiteral("zvýšený odpis o 20%"),
    };
    return names;
}

int depreciationMethodIndex(const QString& text)
{
    return int(depreciationMethodNames().indexOf(text));
}

PlanGenerator::PlanGenerator(CardDataSets sets, MessageService& messages, const DateFormat& dateFormat)
    : sets_(sets), messages_(messages), dateFormat_(dateFormat)
{
}

bool PlanGenerator::refuse(const QString& text)
{
    messages_.show(Message{MessageIcon::Stop, {QStringLiteral("OK")}, text});
    return false;
}

bool PlanGenerator::GeneratePlan(int accountingMode)
{
    const QDate stored = sets_.card.asDate(QStringLiteral("do_pouziti"));
    return GeneratePlan(stored.isValid() ? dateFormat_.format(stored) : QString(), accountingMode);
}

bool PlanGenerator::GeneratePlan(const QString& inUseText, int accountingMode)
{
    Query& card = sets_.card;
    Query& groups = sets_.groups;

    // Preconditions, in this order; only the first failure is shown.
    if (card.asFloat(QStringLiteral("cena")) == 0)
        return refuse(kNoPrice);
    if (inUseText.isEmpty())
        return refuse(kNoDate);
    const QDate inUse = dateFormat_.parse(inUseText);
    if (!inUse.isValid())
        return refuse(kBadDate);
    const QString groupLabel = card.asString(QStringLiteral("sk_odpisu"));
    if (groupLabel.isEmpty())
        return refuse(kNoGroup);
    if (!groups.isOpen()) {
        if (groups.lines().isEmpty())
            groups.setText(QStringLiteral("select * from def_skupiny"));
        groups.open();
    }
    // The group input keeps the group list on the card's group; a label that
    // names no group would leave some unrelated group current.
    if (!groups.locate(QStringLiteral("sk_odpisu"), groupLabel))
        return refuse(kNoGroup);
    if (card.asString(QStringLiteral("zp_odpisu")).isEmpty())
        return refuse(kNoMethod);

    const int method = depreciationMethodIndex(card.asString(QStringLiteral("zp_odpisu")));
    const QString groupNumber = groups.asString(QStringLiteral("skupina"));
    const QString years = groups.asString(QStringLiteral("rokyodpisu"));
    const bool straightLine = method == int(DepreciationMethod::StraightLine) || method >= 2;

    if (straightLine && years.toInt() == 1)
        return refuse(kOneYear);
    RateRow rate;
    bool rateRead = false;
    if (method == int(DepreciationMethod::Accelerated)) {
        // The coefficient must be known before the card is touched.
        rate = readRateRow(method, groupNumber);
        rateRead = true;
        if (rate.first == 0)
            return refuse(kNoCoefficient);
    }

    // The group into the card.
    card.setInteger(QStringLiteral("skupina"), groups.asInteger(QStringLiteral("skupina")));
    card.setInteger(QStringLiteral("rokyodpisu"), groups.asInteger(QStringLiteral("rokyodpisu")));
    const QString id = card.asString(QStringLiteral("id"));
    const QDate storedInUse = card.asDate(QStringLiteral("do_pouziti"));
    const int year = (storedInUse.isValid() ? storedInUse : inUse).year();
    card.post();

    // The rate row into the card.
    const double price = card.asFloat(QStringLiteral("cena"));
    if (method >= 0) {
        if (!rateRead)
            rate = readRateRow(method, groupNumber);
        card.setInteger(QStringLiteral("prvnirok"), WholeRate(rate.first));
        card.setInteger(QStringLiteral("dalsi"), WholeRate(rate.later));
        card.setInteger(QStringLiteral("zvyseny_vstup"), WholeRate(rate.increased));
        card.post();
    }

    if (method == int(DepreciationMethod::Accelerated))
        acceleratedRows(id, year, price, rate.first, years);
    else if (method >= 0)
        straightLineRows(id, year, price, rate.first, years);

    runningSumsAndSavedCopies(id);
    if (accountingMode == 1)
        ProrateAccountingPlan(sets_.work, id, price, inUse.month());
    sets_.work.close();
    sets_.rows.refresh();
    return true;
}

PlanGenerator::RateRow PlanGenerator::readRateRow(int method, const QString& groupNumber)
{
    Query& work = sets_.work;
    work.openText(statementOf({QStringLiteral("select * from ") + QLatin1String(kRateTables[method]) +
                               QStringLiteral(" where skupina=") + groupNumber}));
    // Without a row all three read as 0.
    const RateRow rate{work.asFloat(QStringLiteral("prvnirok")), work.asFloat(QStringLiteral("dalsi")),
                       work.asFloat(QStringLiteral("zvyseny_vstup"))};
    work.close();
    return rate;
}

// Straight-line, also used for the methods with an increased first year: the
// first year at its own rate rounded up to whole crowns, the later years share
// the rest of 100 % evenly, and the last year settles whatever is left.
void PlanGenerator::straightLineRows(const QString& id, int year, double price, double firstRate,
                                     const QString& years)
{
    Query& work = sets_.work;
    const double k1 = RoundUpCrowns(static_cast<long double>(price) * firstRate / 100);
    work.executeText(statementOf({QStringLiteral("delete from odpisy where id_karta = ") + id}));
    double residual = double(static_cast<long double>(price) - k1);
    work.executeText(statementOf({
        QStringLiteral("insert into odpisy set"),
        QStringLiteral("id_karta=") + id + QStringLiteral(","),
        QStringLiteral("rok=") + number(year) + QStringLiteral(","),
        QStringLiteral("procento_o=") + SqlNumber(firstRate) + QStringLiteral(","),
        QStringLiteral("korun_o=") + SqlNumber(k1) + QStringLiteral(","),
        QStringLiteral("zh=") + SqlNumber(residual) + QStringLiteral(","),
        QStringLiteral("zh_d=") + SqlNumber(residual),
    }));

    const long double n = years.toDouble();
    const double rate = RoundEven(double((100.0L - firstRate) / (n - 1)), 2);
    const int count = years.toInt();
    for (int i = 1; i <= count - 1; ++i) {
        // Only the first year rounds up; the later years go to the nearest crown.
        double k = RoundEven(double(static_cast<long double>(price) * rate / 100), 0);
        residual = double(static_cast<long double>(residual) - k);
        if (i == count - 1 && residual != 0) {
            k = double(static_cast<long double>(k) + residual);
            residual = 0;
        }
        work.executeText(statementOf({
            QStringLiteral("insert into odpisy set"),
            QStringLiteral("id_karta=") + id + QStringLiteral(","),
            QStringLiteral("rok=") + number(year + i) + QStringLiteral(","),
            QStringLiteral("procento_o=") + SqlNumber(rate) + QStringLiteral(","),
            QStringLiteral("korun_o=") + SqlNumber(k) + QStringLiteral(","),
            QStringLiteral("zh=") + SqlNumber(residual) + QStringLiteral(","),
            QStringLiteral("zh_d=") + SqlNumber(residual),
        }));
        work.executeText(statementOf({QStringLiteral("update odpisy set korun_do = korun_o where id_karta=") + id}));
    }
    sets_.rows.refresh();
}

// Accelerated: the first year at 100 / coefficient per cent, each later year
// twice the residual value divided by a coefficient counting down to 2.
void PlanGenerator::acceleratedRows(const QString& id, int year, double price, double firstCoefficient,
                                    const QString& years)
{
    Query& work = sets_.work;
    // The amount comes from the rounded percentage, not from price / coefficient.
    const double p1 = RoundEven(double(100.0L / firstCoefficient), 2);
    const double k1 = RoundUpCrowns(static_cast<long double>(price) * p1 / 100);
    work.executeText(statementOf({QStringLiteral("delete from odpisy where id_karta = ") + id}));
    double residual = double(static_cast<long double>(price) - k1);
    work.executeText(statementOf({
        QStringLiteral("insert into odpisy set"),
        QStringLiteral("id_karta=") + id + QStringLiteral(","),
        QStringLiteral("rok=") + number(year) + QStringLiteral(","),
        QStringLiteral("koef_o=") + SqlNumber(firstCoefficient) + QStringLiteral(","),
        QStringLiteral("procento_o=") + SqlNumber(p1) + QStringLiteral(","),
        QStringLiteral("korun_o=") + SqlNumber(k1) + QStringLiteral(","),
        QStringLiteral("zh=") + SqlNumber(residual) + QStringLiteral(","),
        QStringLiteral("zh_d=") + SqlNumber(residual),
    }));

    for (int n = years.toInt(); n >= 2; --n) {
        ++year;
        const double p = RoundEven(double(100.0L / n), 2);
        double k = RoundUpCrowns(static_cast<long double>(residual) * 2 / n);
        residual = double(static_cast<long double>(residual) - k);
        if (n == 2 && residual != 0) {
            k = double(static_cast<long double>(k) + residual);
            residual = 0;
        }
        work.executeText(statementOf({
            QStringLiteral("insert into odpisy set"),
            QStringLiteral("id_karta=") + id + QStringLiteral(","),
            QStringLiteral("rok=") + number(year) + QStringLiteral(","),
            QStringLiteral("procento_o=") + SqlNumber(p) + QStringLiteral(","),
            QStringLiteral("koef_o=") + number(n) + QStringLiteral(","),
            QStringLiteral("korun_o=") + SqlNumber(k) + QStringLiteral(","),
            QStringLiteral("zh=") + SqlNumber(residual) + QStringLiteral(","),
            QStringLiteral("zh_d=") + SqlNumber(residual),
        }));
    }
    work.executeText(statementOf({QStringLiteral("update odpisy set korun_do = korun_o where id_karta=") + id}));
    sets_.rows.refresh();
}

// Running sums of both plans row by row, then the saved yearly copies that the
// proration and the shift rely on.
void PlanGenerator::runningSumsAndSavedCopies(const QString& id)
{
    Query& work = sets_.work;
    work.openText(rowsInYearOrder(id));
    const auto runningSum = [&work](const QString& amount, const QString& sum) {
        double s = 0;
        for (work.first(); !work.eof(); work.next()) {
            s = double(static_cast<long double>(s) + work.asFloat(amount));
            work.setFloat(sum, s);
            work.post();
            s = work.asFloat(sum);
        }
    };
    runningSum(QStringLiteral("korun_o"), QStringLiteral("opravka_u"));
    runningSum(QStringLiteral("korun_do"), QStringLiteral("opravka_d"));
    const QString where = QStringLiteral("where id_karta = ") + id;
    work.executeText(statementOf({QStringLiteral("update odpisy set"), QStringLiteral("korun_or = korun_o "), where}));
    work.executeText(statementOf({QStringLiteral("update odpisy set"), QStringLiteral("opravka_up = opravka_u "), where}));
    work.executeText(statementOf({QStringLiteral("update odpisy set"), QStringLiteral("zh_p = zh "), where}));
}

} // namespace kelvo
