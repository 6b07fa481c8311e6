#include "JetTranslator.h"

#include "platform/Error.h"

#include <QHash>

#include <utility>

namespace vantor::engine::jet {

QString quoteName(const QString& name)
{
    QString quoted = name;
    quoted.replace(u'"', QLatin1String("\"\""));
    return u'"' + quoted + u'"';
}

QString quoteString(const QString& text)
{
    QString quoted = text;
    quoted.replace(u'\'', QLatin1String("''"));
    return u'\'' + quoted + u'\'';
}

// Jet's wildcards in a literal pattern, in LIKE's terms: * any run, ? and #
// any one character (LIKE has no digit class), [x] the character x itself.
// Returns the pattern and whether it needs ESCAPE '\'.
std::pair<QString, bool> likePattern(const QString& jet)
{
    QString out;
    bool escaped = false;
    auto literal = [&](QChar c) {
        if (c == u'%' || c == u'_' || c == u'\\') {
            out += u'\\';
            escaped = true;
        }
        out += c;
    };
    for (int i = 0; i < jet.size(); ++i) {
        const QChar c = jet.at(i);
        if (c == u'*') {
            out += u'%';
        } else if (c == u'?' || c == u'#') {
            out += u'_';
        } else if (c == u'[') {
            const int close = jet.indexOf(u']', i + 1);
            if (close < 0) {
                literal(c);
                continue;
            }
            const QString inside = jet.mid(i + 1, close - i - 1);
            if (inside.size() == 1)
                literal(inside.at(0));
            else
                out += u'_'; // a character class: any one character is the nearest LIKE has
            i = close;
        } else {
            literal(c);
        }
    }
    return {out, escaped};
}

struct RangeVar
{
    const Source* source = nullptr;
    QString name;  // how SQL refers to it: its alias, else the table's name
    QString table; // the table or view as the database spells it; empty for a subquery
    bool known = false;
    bool view = false;
    bool subquery = false;
    bool parenthesized = false; // inside a join group whose rowids SQLite cannot reach
    QStringList columns;
    QString subquerySql;

    // The column as this source spells it; the given spelling when unknown.
    QString spelling(const QString& column) const
    {
        for (const QString& candidate : columns) {
            if (candidate.compare(column, Qt::CaseInsensitive) == 0)
                return candidate;
        }
        return column;
    }
    bool hasColumn(const QString& column) const
    {
        return columns.contains(column, Qt::CaseInsensitive);
    }
};

struct Scope
{
    const Scope* outer = nullptr;
    std::vector<RangeVar> vars;
    QStringList outputNames;
    std::vector<bool> outputIsExpression;

    const RangeVar* find(const QString& name) const
    {
        for (const RangeVar& var : vars) {
            if (var.name.compare(name, Qt::CaseInsensitive) == 0)
                return &var;
        }
        return nullptr;
    }
};

struct Resolved
{
    const RangeVar* var = nullptr;
    QString column;
};

struct OutputColumn
{
    QString sql;
    QString name;
    QString qualifiedName; // Table.Column, for a column reference
    bool columnReference = false;
};

struct SelectResult
{
    QString sql;
    QStringList names;
    QVector<TranslatedSql::RowidColumn> rowids;
    bool updatable = false;
};

struct FlatItem
{
    QString op;
    QString source;
    QStringList conditions;
};

bool isAggregate(const QString& name)
{
    static const QStringList aggregates = {
        QStringLiteral("avg"),  QStringLiteral("sum"),   QStringLiteral("min"),
        QStringLiteral("max"),  QStringLiteral("count"), QStringLiteral("first"),
        QStringLiteral("last"), QStringLiteral("stdev"), QStringLiteral("stdevp"),
        QStringLiteral("var"),  QStringLiteral("varp"),
    };
    return aggregates.contains(name, Qt::CaseInsensitive);
}

bool containsAggregate(const Expr& expr)
{
    if (expr.kind == Expr::Kind::Call && isAggregate(expr.text))
        return true;
    for (const ExprPtr& arg : expr.args) {
        if (containsAggregate(*arg))
            return true;
    }
    return false; // subqueries aggregate on their own
}

bool allInner(const Source& source)
{
    if (source.kind != Source::Kind::Join)
        return true;
    return source.join == Source::JoinType::Inner && allInner(*source.left) &&
           allInner(*source.right);
}

QString printFlat(const std::vector<FlatItem>& items)
{
    QString sql;
    for (const FlatItem& item : items) {
        if (!item.op.isEmpty())
            sql += u' ' + item.op + u' ';
        sql += item.source;
        if (item.conditions.size() == 1) {
            sql += QStringLiteral(" ON ") + item.conditions.first();
        } else if (item.conditions.size() > 1) {
            sql += QStringLiteral(" ON ") + item.conditions.join(QStringLiteral(" AND "));
        }
    }
    return sql;
}

TranslatedSql Translator::translate(const Statement& statement, const TranslateOptions& options)
{
    TranslatedSql result;
    result.kind = statement.kind;
    switch (statement.kind) {
    case TranslatedSql::Kind::Select: {
        SelectResult selected = select(*statement.select, nullptr, options.withRowids);
        result.sql = selected.sql;
        result.columnNames = selected.names;
        result.rowidColumns = selected.rowids;
        result.updatable = selected.updatable;
        return result;
    }
    case TranslatedSql::Kind::Insert:
        return insert(statement);
    case TranslatedSql::Kind::Update:
        return update(statement);
    case TranslatedSql::Kind::Delete:
        return remove(statement);
    case TranslatedSql::Kind::Other:
        result.sql = statement.otherSql;
        return result;
    }
    return result;
}

QString Translator::tableName(const QString& name) const
{
    const QString canonical = m_schema.canonicalName(name);
    return canonical.isEmpty() ? name : canonical;
}

SelectResult Translator::select(const Select& s, const Scope* outer, bool withRowids)
{
    Scope scope;
    scope.outer = outer;
    for (const SourcePtr& source : s.from)
        collectVars(*source, scope);
    const QString from = fromClause(s.from, scope);

    const std::vector<OutputColumn> columns = outputColumns(s, scope);
    SelectResult result;
    QStringList list;
    for (const OutputColumn& column : columns) {
        list.append(column.sql + QStringLiteral(" AS ") + quoteName(column.name));
        result.names.append(column.name);
    }

    bool aggregate = s.having != nullptr;
    for (const SelectItem& item : s.items)
        aggregate = aggregate || (item.expr && containsAggregate(*item.expr));
    for (const OrderItem& item : s.orderBy)
        aggregate = aggregate || containsAggregate(*item.expr);
    bool fromSubquery = false;
    for (const RangeVar& var : scope.vars)
        fromSubquery = fromSubquery || var.subquery;
    if (withRowids && !s.from.empty() && !aggregate && !fromSubquery && !s.distinct &&
        s.top.isEmpty() && s.groupBy.empty()) {
        for (const RangeVar& var : scope.vars) {
            if (!var.known || var.view || var.parenthesized)
                continue;
            const QString alias = QStringLiteral("__rowid%1").arg(result.rowids.size());
            list.append(quoteName(var.name) + QStringLiteral(".rowid AS ") + quoteName(alias));
            result.rowids.append({var.table, var.name});
        }
        result.updatable = !result.rowids.isEmpty();
    }

    QString sql = QStringLiteral("SELECT ");
    if (s.distinct)
        sql += QStringLiteral("DISTINCT ");
    sql += list.join(QStringLiteral(", "));
    if (!from.isEmpty())
        sql += QStringLiteral(" FROM ") + from;
    if (s.where)
        sql += QStringLiteral(" WHERE ") + expr(*s.where, scope);
    if (!s.groupBy.empty()) {
        QStringList terms;
        for (const ExprPtr& term : s.groupBy)
            terms.append(orderTerm(*term, scope));
        sql += QStringLiteral(" GROUP BY ") + terms.join(QStringLiteral(", "));
    }
    if (s.having)
        sql += QStringLiteral(" HAVING ") + expr(*s.having, scope);
    if (!s.orderBy.empty()) {
        QStringList terms;
        for (const OrderItem& item : s.orderBy)
            terms.append(orderTerm(*item.expr, scope) +
                         (item.descending ? QStringLiteral(" DESC") : QString()));
        sql += QStringLiteral(" ORDER BY ") + terms.join(QStringLiteral(", "));
    }
    if (!s.top.isEmpty())
        sql += QStringLiteral(" LIMIT ") + s.top;
    result.sql = sql;
    return result;
}

void Translator::collectVars(const Source& source, Scope& scope)
{
    switch (source.kind) {
    case Source::Kind::Join:
        collectVars(*source.left, scope);
        collectVars(*source.right, scope);
        return;
    case Source::Kind::Table: {
        RangeVar var;
        var.source = &source;
        var.table = m_schema.canonicalName(source.name);
        var.known = !var.table.isEmpty();
        if (var.known) {
            var.view = m_schema.isView(var.table);
            var.columns = m_schema.columnsOf(var.table);
        }
        var.name = !source.alias.isEmpty() ? source.alias : var.known ? var.table : source.name;
        scope.vars.push_back(std::move(var));
        return;
    }
    case Source::Kind::Subquery: {
        // A subquery in FROM sees no columns of its neighbours.
        SelectResult inner = select(*source.select, scope.outer, false);
        RangeVar var;
        var.source = &source;
        var.subquery = true;
        var.known = true;
        var.columns = inner.names;
        var.subquerySql = inner.sql;
        var.name = source.alias.isEmpty() ? QStringLiteral("__query%1").arg(++m_subqueryAliases)
                                          : source.alias;
        scope.vars.push_back(std::move(var));
        return;
    }
    }
}

QString Translator::leaf(const Source& source, const Scope& scope) const
{
    for (const RangeVar& var : scope.vars) {
        if (var.source != &source)
            continue;
        if (var.subquery)
            return u'(' + var.subquerySql + QStringLiteral(") AS ") + quoteName(var.name);
        QString sql = quoteName(var.known ? var.table : source.name);
        if (!source.alias.isEmpty())
            sql += QStringLiteral(" AS ") + quoteName(source.alias);
        return sql;
    }
    return quoteName(source.name);
}

void Translator::markParenthesized(const Source& source, Scope& scope)
{
    if (source.kind == Source::Kind::Join) {
        markParenthesized(*source.left, scope);
        markParenthesized(*source.right, scope);
        return;
    }
    for (RangeVar& var : scope.vars) {
        if (var.source == &source)
            var.parenthesized = true;
    }
}

// Prints a join tree left-deep. A RIGHT JOIN becomes the LEFT JOIN of its
// sides swapped (the same rows; SQLite plans LEFT joins far better). A group
// of inner joins on the right of an inner join is spelled out flat with its
// conditions gathered on its last table, which is the same join; any other
// group on the right keeps its parentheses.
void Translator::flatten(const Source& source, Scope& scope, std::vector<FlatItem>& out,
                         const QString& op)
{
    if (source.kind != Source::Kind::Join) {
        out.push_back({op, leaf(source, scope), {}});
        return;
    }
    const Source* left = source.left.get();
    const Source* right = source.right.get();
    Source::JoinType type = source.join;
    if (type == Source::JoinType::Right) {
        std::swap(left, right);
        type = Source::JoinType::Left;
    }
    const QString joinOp = type == Source::JoinType::Inner ? QStringLiteral("INNER JOIN")
                                                           : QStringLiteral("LEFT JOIN");
    flatten(*left, scope, out, op);
    const QString on = expr(*source.on, scope);
    if (right->kind != Source::Kind::Join) {
        out.push_back({joinOp, leaf(*right, scope), {on}});
    } else if (type == Source::JoinType::Inner && allInner(*right)) {
        flatten(*right, scope, out, joinOp);
        out.back().conditions.append(on);
    } else {
        std::vector<FlatItem> group;
        flatten(*right, scope, group, QString());
        markParenthesized(*right, scope);
        out.push_back({joinOp, u'(' + printFlat(group) + u')', {on}});
    }
}

QString Translator::fromClause(const std::vector<SourcePtr>& from, Scope& scope)
{
    QStringList parts;
    for (const SourcePtr& source : from) {
        std::vector<FlatItem> items;
        flatten(*source, scope, items, QString());
        parts.append(printFlat(items));
    }
    return parts.join(QStringLiteral(", "));
}

void Translator::expandAll(const RangeVar& var, std::vector<OutputColumn>& out) const
{
    if (!var.known || var.columns.isEmpty()) // no such table, or a view that cannot be read
        missingTable(var.name);
    for (const QString& column : var.columns) {
        OutputColumn output;
        output.sql = quoteName(var.name) + u'.' + quoteName(column);
        output.name = column;
        output.qualifiedName = var.name + u'.' + column;
        output.columnReference = true;
        out.push_back(std::move(output));
    }
}

std::vector<OutputColumn> Translator::outputColumns(const Select& s, Scope& scope)
{
    std::vector<OutputColumn> columns;
    int expressions = 0;
    for (const SelectItem& item : s.items) {
        if (item.kind == SelectItem::Kind::AllColumns) {
            if (item.qualifier.isEmpty()) {
                if (scope.vars.empty())
                    fail(item.token, QStringLiteral("SELECT * needs a FROM clause"));
                for (const RangeVar& var : scope.vars)
                    expandAll(var, columns);
            } else {
                const RangeVar* var = scope.find(item.qualifier);
                if (!var)
                    missingTable(item.qualifier);
                expandAll(*var, columns);
            }
            continue;
        }
        OutputColumn output;
        output.sql = expr(*item.expr, scope);
        if (item.expr->kind == Expr::Kind::Column) {
            const Resolved resolved = resolve(*item.expr, scope);
            const QString column = resolved.var ? resolved.column : item.expr->text;
            const QString table = resolved.var ? resolved.var->name : item.expr->qualifier;
            output.name = column;
            output.qualifiedName = table.isEmpty() ? column : table + u'.' + column;
            output.columnReference = item.alias.isEmpty();
        } else {
            output.name = QStringLiteral("Expr%1").arg(1000 + expressions);
        }
        if (!item.alias.isEmpty())
            output.name = item.alias;
        else if (item.expr->kind != Expr::Kind::Column)
            ++expressions;
        columns.push_back(std::move(output));
    }

    // Two columns of one name: Jet names each column reference among them Table.Column.
    QHash<QString, int> counts;
    for (const OutputColumn& column : columns)
        ++counts[column.name.toLower()];
    for (OutputColumn& column : columns) {
        if (column.columnReference && counts.value(column.name.toLower()) > 1)
            column.name = column.qualifiedName;
    }
    for (const OutputColumn& column : columns) {
        scope.outputNames.append(column.name);
        scope.outputIsExpression.push_back(!column.columnReference);
    }
    return columns;
}

// An ORDER BY or GROUP BY term. Jet looks a bare name up among the source
// columns, SQLite among the output names first: qualify it, so that an
// alias cannot take over the sort. Expressions sort and group without
// regard to case, as Jet's text does.
QString Translator::orderTerm(const Expr& e, const Scope& scope)
{
    if (e.kind == Expr::Kind::Column) {
        if (!e.qualifier.isEmpty())
            return expr(e, scope);
        int matches = 0;
        const RangeVar* found = nullptr;
        for (const RangeVar& var : scope.vars) {
            if (var.hasColumn(e.text)) {
                ++matches;
                found = &var;
            }
        }
        if (matches == 1)
            return quoteName(found->name) + u'.' + quoteName(found->spelling(e.text));
        for (int i = 0; i < scope.outputNames.size(); ++i) {
            if (scope.outputNames.at(i).compare(e.text, Qt::CaseInsensitive) == 0 &&
                scope.outputIsExpression.at(i))
                return quoteName(e.text) + QStringLiteral(" COLLATE NOCASE");
        }
        return quoteName(e.text);
    }
    if (e.kind == Expr::Kind::Number)
        return expr(e, scope);
    return expr(e, scope) + QStringLiteral(" COLLATE NOCASE");
}

Resolved Translator::resolve(const Expr& column, const Scope& scope) const
{
    for (const Scope* s = &scope; s; s = s->outer) {
        if (!column.qualifier.isEmpty()) {
            if (const RangeVar* var = s->find(column.qualifier))
                return {var, var->spelling(column.text)};
            continue;
        }
        const RangeVar* found = nullptr;
        int matches = 0;
        for (const RangeVar& var : s->vars) {
            if (var.hasColumn(column.text)) {
                found = &var;
                ++matches;
            }
        }
        if (matches == 1)
            return {found, found->spelling(column.text)};
        if (matches > 1)
            return {};
    }
    return {};
}

QString Translator::expr(const Expr& e, const Scope& scope)
{
    QStringList args;
    args.reserve(qsizetype(e.args.size()));
    for (const ExprPtr& arg : e.args)
        args.append(expr(*arg, scope));
    return exprText(e, args, scope);
}

QString Translator::columnText(const Expr& e, const Scope& scope) const
{
    if (e.qualifier.isEmpty())
        return quoteName(e.text);
    const Resolved resolved = resolve(e, scope);
    if (!resolved.var)
        return quoteName(e.qualifier) + u'.' + quoteName(e.text);
    return quoteName(resolved.var->name) + u'.' + quoteName(resolved.column);
}

// A pattern written as a text is turned into SQLite's form; any other keeps
// Jet's wildcards as they are.
QString Translator::likeText(const Expr& e, const QStringList& args)
{
    QString pattern;
    bool escape = false;
    if (e.args[1]->kind == Expr::Kind::String) {
        const auto converted = likePattern(e.args[1]->text);
        pattern = quoteString(converted.first);
        escape = converted.second;
    } else {
        pattern = args[1];
    }
    return u'(' + args[0] + (e.negated ? QStringLiteral(" NOT LIKE ") : QStringLiteral(" LIKE ")) +
           pattern + (escape ? QStringLiteral(" ESCAPE '\\')") : QStringLiteral(")"));
}

QString Translator::exprText(const Expr& e, const QStringList& args, const Scope& scope)
{
    switch (e.kind) {
    case Expr::Kind::Column:
        return columnText(e, scope);
    case Expr::Kind::Number: {
        QString number = e.text;
        if (number.startsWith(u'.'))
            number.prepend(u'0');
        if (number.endsWith(u'.'))
            number.append(u'0');
        return number;
    }
    case Expr::Kind::String:
    case Expr::Kind::Date:
        return quoteString(e.text);
    case Expr::Kind::Null:
        return QStringLiteral("NULL");
    case Expr::Kind::Boolean:
        return e.text;
    case Expr::Kind::Unary:
        if (e.text == u'-')
            return QStringLiteral("(-") + args[0] + u')';
        return QStringLiteral("(NOT ") + args[0] + u')';
    case Expr::Kind::Binary:
        return binaryText(e, args);
    case Expr::Kind::Between: {
        const QString value = nocase(e, args[0]);
        return u'(' + value +
               (e.negated ? QStringLiteral(" NOT BETWEEN ") : QStringLiteral(" BETWEEN ")) +
               args[1] + QStringLiteral(" AND ") + args[2] + u')';
    }
    case Expr::Kind::In: {
        const QString value = nocase(e, args[0]);
        QString list;
        if (e.select) {
            list = select(*e.select, &scope, false).sql;
        } else {
            list = args.mid(1).join(QStringLiteral(", "));
        }
        return u'(' + value + (e.negated ? QStringLiteral(" NOT IN (") : QStringLiteral(" IN (")) +
               list + QStringLiteral("))");
    }
    case Expr::Kind::IsNull:
        return u'(' + args[0] +
               (e.negated ? QStringLiteral(" IS NOT NULL)") : QStringLiteral(" IS NULL)"));
    case Expr::Kind::Like:
        return likeText(e, args);
    case Expr::Kind::Call:
        return callText(e, args);
    case Expr::Kind::Subquery:
        return u'(' + select(*e.select, &scope, false).sql + u')';
    case Expr::Kind::Exists:
        return QStringLiteral("(EXISTS (") + select(*e.select, &scope, false).sql +
               QStringLiteral("))");
    }
    return QString();
}

// Jet compares text without regard to case. A column brings its declared
// collation (the text columns are NOCASE); a comparison with no column on
// either side gets it said explicitly.
QString Translator::nocase(const Expr& e, const QString& sql) const
{
    for (const ExprPtr& arg : e.args) {
        if (arg->kind == Expr::Kind::Column)
            return sql;
    }
    return sql + QStringLiteral(" COLLATE NOCASE");
}

// An operand of &, as text: null becomes empty text and a number its default text form.
QString Translator::textOperand(const Expr& e, const QString& sql)
{
    const bool alreadyText =
        e.kind == Expr::Kind::String || (e.kind == Expr::Kind::Binary && e.text == u'&') ||
        (e.kind == Expr::Kind::Call && e.text.compare(u"format", Qt::CaseInsensitive) == 0 &&
         e.args.size() == 2);
    return alreadyText ? sql : QStringLiteral("vb_text(") + sql + u')';
}

QString Translator::binaryText(const Expr& e, const QStringList& args) const
{
    const QString& op = e.text;
    if (op == u'&')
        return u'(' + textOperand(*e.args[0], args[0]) + QStringLiteral(" || ") +
               textOperand(*e.args[1], args[1]) + u')';

    const QString& a = args[0];
    const QString& b = args[1];
    if (op == u'+' || op == u'-' || op == u'*')
        return u'(' + a + u' ' + op + u' ' + b + u')';
    if (op == u'/') // Jet divides in floating point, SQLite whole numbers as whole numbers
        return QStringLiteral("(CAST(") + a + QStringLiteral(" AS REAL) / ") + b + u')';
    // \ and Mod round their operands to whole numbers first (half to even)
    if (op == u'\\')
        return QStringLiteral("(vb_clng(") + a + QStringLiteral(") / vb_clng(") + b +
               QStringLiteral("))");
    if (op == QLatin1String("MOD"))
        return QStringLiteral("(vb_clng(") + a + QStringLiteral(") % vb_clng(") + b +
               QStringLiteral("))");
    if (op == u'^')
        return QStringLiteral("vb_pow(") + a + QStringLiteral(", ") + b + u')';
    if (op == QLatin1String("AND") || op == QLatin1String("OR"))
        return u'(' + a + u' ' + op + u' ' + b + u')';
    if (op == QLatin1String("XOR"))
        return QStringLiteral("((") + a + QStringLiteral(" <> 0) <> (") + b +
               QStringLiteral(" <> 0))");
    if (op == QLatin1String("EQV"))
        return QStringLiteral("((") + a + QStringLiteral(" <> 0) = (") + b +
               QStringLiteral(" <> 0))");
    if (op == QLatin1String("IMP"))
        return QStringLiteral("((NOT ") + a + QStringLiteral(") OR ") + b + u')';
    // comparisons
    return u'(' + nocase(e, a) + u' ' + op + u' ' + b + u')';
}

namespace {

// A function of the dialect as SQLite is given it, for one number of
// arguments: %1, %2, %3 stand for the translated arguments.
struct FunctionForm
{
    const char* name; // lower case
    int arguments;
    const char* sql;
};

const FunctionForm functionForms[] = {
    {"format", 1, "vb_text(%1)"},
    {"format", 2, "vb_format(%1, %2)"},
    {"cdbl", 1, "vb_cdbl(%1)"},
    {"csng", 1, "vb_cdbl(%1)"},
    {"cint", 1, "vb_cint(%1)"},
    {"clng", 1, "vb_clng(%1)"},
    {"cstr", 1, "vb_cstr(%1)"},
    {"cdate", 1, "vb_cdate(%1)"},
    {"datevalue", 1, "vb_cdate(%1)"},
    {"year", 1, "vb_year(%1)"},
    {"month", 1, "vb_month(%1)"},
    {"day", 1, "vb_day(%1)"},
    {"date", 0, "vb_today()"},
    {"now", 0, "vb_today()"},
    {"ucase", 1, "vb_ucase(%1)"},
    {"lcase", 1, "vb_lcase(%1)"},
    {"len", 1, "length(%1)"},
    {"trim", 1, "trim(%1)"},
    {"ltrim", 1, "ltrim(%1)"},
    {"rtrim", 1, "rtrim(%1)"},
    {"left", 2, "substr(%1, 1, %2)"},
    {"right", 2, "vb_right(%1, %2)"},
    {"mid", 2, "substr(%1, %2)"},
    {"mid", 3, "substr(%1, %2, %3)"},
    {"instr", 2, "vb_instr(1, %1, %2)"},
    {"instr", 3, "vb_instr(%1, %2, %3)"},
    {"abs", 1, "abs(%1)"},
    {"iif", 3, "(CASE WHEN %1 THEN %2 ELSE %3 END)"},
    {"nz", 1, "coalesce(%1, '')"},
    {"nz", 2, "coalesce(%1, %2)"},
    {"isnull", 1, "(CASE WHEN %1 IS NULL THEN -1 ELSE 0 END)"},
    {"avg", 1, "avg(%1)"},
    {"sum", 1, "sum(%1)"},
    {"min", 1, "min(%1)"},
    {"max", 1, "max(%1)"},
    {"count", 1, "count(%1)"},
};

// The form with its %n replaced by the arguments, in one pass: an argument
// that itself holds "%2" stays as it is.
QString placeArguments(const char* form, const QStringList& args)
{
    QString sql;
    for (const char* c = form; *c; ++c) {
        if (*c == '%' && c[1] >= '1' && c[1] <= '9') {
            sql += args.at(c[1] - '1');
            ++c;
        } else {
            sql += QLatin1Char(*c);
        }
    }
    return sql;
}

} // namespace

QString Translator::callText(const Expr& e, const QStringList& args) const
{
    if (e.countStar)
        return QStringLiteral("count(*)");
    const QString name = e.text.toLower();
    bool known = false;
    for (const FunctionForm& form : functionForms) {
        if (name != QLatin1String(form.name))
            continue;
        if (form.arguments == args.size())
            return placeArguments(form.sql, args);
        known = true;
    }
    if (known)
        fail(e.token,
             QStringLiteral("wrong number of arguments for the function '%1'").arg(e.text));
    if (isAggregate(name))
        fail(e.token, QStringLiteral("the aggregate function '%1' is not supported").arg(e.text));
    throw Error(Error::SyntaxError,
                QStringLiteral("Undefined function '%1' in expression (line %2, column %3).")
                    .arg(e.text)
                    .arg(m_tokens.at(e.token).line)
                    .arg(m_tokens.at(e.token).column));
}

TranslatedSql Translator::insert(const Statement& statement)
{
    TranslatedSql result;
    result.kind = TranslatedSql::Kind::Insert;
    QString sql = QStringLiteral("INSERT INTO ") + quoteName(tableName(statement.table));
    if (!statement.columns.isEmpty()) {
        QStringList columns;
        for (const QString& column : statement.columns)
            columns.append(quoteName(column));
        sql += QStringLiteral(" (") + columns.join(QStringLiteral(", ")) + u')';
    }
    if (statement.select) {
        sql += u' ' + select(*statement.select, nullptr, false).sql;
    } else {
        const Scope none;
        QStringList values;
        for (const ExprPtr& value : statement.values)
            values.append(expr(*value, none));
        sql += QStringLiteral(" VALUES (") + values.join(QStringLiteral(", ")) + u')';
    }
    result.sql = sql;
    return result;
}

TranslatedSql Translator::update(const Statement& statement)
{
    TranslatedSql result;
    result.kind = TranslatedSql::Kind::Update;
    Source table;
    table.kind = Source::Kind::Table;
    table.name = statement.table;
    Scope scope;
    collectVars(table, scope);

    QStringList assignments;
    for (int i = 0; i < statement.columns.size(); ++i)
        assignments.append(quoteName(statement.columns.at(i)) + QStringLiteral(" = ") +
                           expr(*statement.values[std::size_t(i)], scope));
    QString sql = QStringLiteral("UPDATE ") + quoteName(tableName(statement.table)) +
                  QStringLiteral(" SET ") + assignments.join(QStringLiteral(", "));
    if (statement.where)
        sql += QStringLiteral(" WHERE ") + expr(*statement.where, scope);
    result.sql = sql;
    return result;
}

// DELETE [T.*] FROM source [WHERE]. Over one table this is SQLite's own
// DELETE; over a join (Jet deletes the rows of T that the join selects) the
// rows are named by rowid.
TranslatedSql Translator::remove(const Statement& statement)
{
    TranslatedSql result;
    result.kind = TranslatedSql::Kind::Delete;
    Scope scope;
    for (const SourcePtr& source : statement.from)
        collectVars(*source, scope);
    const QString from = fromClause(statement.from, scope);
    const QString where = statement.where ? expr(*statement.where, scope) : QString();

    const RangeVar* target = nullptr;
    if (statement.hasTarget) {
        target = scope.find(statement.table);
        if (!target)
            fail(statement.tableToken,
                 QStringLiteral("'%1' is not a table of the FROM clause").arg(statement.table));
    } else if (scope.vars.size() == 1) {
        target = &scope.vars.front();
    } else {
        fail(statement.tableToken,
             QStringLiteral("specify the table containing the records you want to delete"));
    }
    if (!target->known)
        missingTable(target->name);
    if (target->view || target->subquery || target->parenthesized)
        fail(target->source->token, QStringLiteral("could not delete from the specified table"));

    const bool single = scope.vars.size() == 1 &&
                        statement.from.front()->kind == Source::Kind::Table &&
                        statement.from.front()->alias.isEmpty();
    if (single) {
        result.sql = QStringLiteral("DELETE FROM ") + quoteName(target->table);
        if (!where.isEmpty())
            result.sql += QStringLiteral(" WHERE ") + where;
        return result;
    }
    result.sql = QStringLiteral("DELETE FROM ") + quoteName(target->table) +
                 QStringLiteral(" WHERE rowid IN (SELECT ") + quoteName(target->name) +
                 QStringLiteral(".rowid FROM ") + from;
    if (!where.isEmpty())
        result.sql += QStringLiteral(" WHERE ") + where;
    result.sql += u')';
    return result;
}

} // namespace vantor::engine::jet
