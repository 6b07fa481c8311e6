#include "JetParser.h"

#include "platform/Error.h"

namespace vantor::engine::jet {

bool isReserved(const QString& word)
{
    static const QStringList reserved = {
        QStringLiteral("select"),      QStringLiteral("from"),    QStringLiteral("where"),
        QStringLiteral("group"),       QStringLiteral("order"),   QStringLiteral("by"),
        QStringLiteral("having"),      QStringLiteral("and"),     QStringLiteral("or"),
        QStringLiteral("not"),         QStringLiteral("xor"),     QStringLiteral("eqv"),
        QStringLiteral("imp"),         QStringLiteral("mod"),     QStringLiteral("like"),
        QStringLiteral("is"),          QStringLiteral("between"), QStringLiteral("in"),
        QStringLiteral("as"),          QStringLiteral("on"),      QStringLiteral("inner"),
        QStringLiteral("left"),        QStringLiteral("right"),   QStringLiteral("outer"),
        QStringLiteral("join"),        QStringLiteral("union"),   QStringLiteral("distinct"),
        QStringLiteral("distinctrow"), QStringLiteral("top"),     QStringLiteral("insert"),
        QStringLiteral("into"),        QStringLiteral("values"),  QStringLiteral("update"),
        QStringLiteral("set"),         QStringLiteral("delete"),  QStringLiteral("asc"),
        QStringLiteral("desc"),        QStringLiteral("null"),    QStringLiteral("true"),
        QStringLiteral("false"),       QStringLiteral("exists"),  QStringLiteral("all"),
    };
    return reserved.contains(word, Qt::CaseInsensitive);
}

namespace {

// Jet's binary operators, loosest first. Not (a prefix) sits between And and
// the comparisons, unary minus between * / and ^.
enum Precedence {
    PrecImp = 1,
    PrecEqv,
    PrecXor,
    PrecOr,
    PrecAnd,
    PrecNot,
    PrecComparison,
    PrecConcat,
    PrecAdditive,
    PrecMod,
    PrecIntegerDivision,
    PrecMultiplicative,
    PrecUnaryMinus,
    PrecPower,
};

struct BinaryOperator
{
    int precedence = 0; // 0: the token is no binary operator
    QString name;       // as the tree holds it
};

BinaryOperator binaryOperator(const JetToken& token)
{
    if (token.type == JetToken::Type::Symbol) {
        const QString& t = token.text;
        if (t == u'=' || t == QLatin1String("<>") || t == u'<' || t == u'>' ||
            t == QLatin1String("<=") || t == QLatin1String(">="))
            return {PrecComparison, t};
        if (t == u'&')
            return {PrecConcat, t};
        if (t == u'+' || t == u'-')
            return {PrecAdditive, t};
        if (t == u'\\')
            return {PrecIntegerDivision, t};
        if (t == u'*' || t == u'/')
            return {PrecMultiplicative, t};
        if (t == u'^')
            return {PrecPower, t};
        return {};
    }
    if (token.type != JetToken::Type::Name)
        return {};
    static const struct
    {
        const char* word;
        int precedence;
    } words[] = {
        {"imp", PrecImp},         {"eqv", PrecEqv},
        {"xor", PrecXor},         {"or", PrecOr},
        {"and", PrecAnd},         {"mod", PrecMod},
        {"like", PrecComparison}, {"between", PrecComparison},
        {"in", PrecComparison},   {"is", PrecComparison},
        {"not", PrecComparison}, // NOT LIKE, NOT BETWEEN, NOT IN
    };
    for (const auto& word : words) {
        if (token.isWord(QLatin1String(word.word)))
            return {word.precedence, QString::fromLatin1(word.word).toUpper()};
    }
    return {};
}

// Precedence climbing: operands of an operator bind tighter than it; equal
// precedence associates to the left.

} // namespace

Statement Parser::parseStatement()
{
    Statement statement;
    const JetToken& first = peek();
    if (first.isWord(QLatin1String("select"))) {
        statement.kind = TranslatedSql::Kind::Select;
        statement.select = parseSelect();
    } else if (first.isWord(QLatin1String("insert"))) {
        statement.kind = TranslatedSql::Kind::Insert;
        parseInsert(statement);
    } else if (first.isWord(QLatin1String("update"))) {
        statement.kind = TranslatedSql::Kind::Update;
        parseUpdate(statement);
    } else if (first.isWord(QLatin1String("delete"))) {
        statement.kind = TranslatedSql::Kind::Delete;
        parseDelete(statement);
    } else if (first.isWord(QLatin1String("create")) || first.isWord(QLatin1String("drop")) ||
               first.isWord(QLatin1String("alter"))) {
        // Definitions are the database's own dialect already; they pass unchanged.
        const int last = int(m_tokens.size()) - 1;
        // A semicolon may stand inside (a trigger's body); whether a second
        // statement follows is for SQLite's parser to tell (Connection::execute).
        int end = m_tokens.at(last).offset;
        if (last > 0 && m_tokens.at(last - 1).isSymbol(QLatin1String(";")))
            end = m_tokens.at(last - 1).offset;
        statement.otherSql = m_source.left(end).trimmed();
        return statement;
    } else {
        fail(QStringLiteral("expected SELECT, INSERT, UPDATE or DELETE"));
    }
    acceptSymbol(";");
    if (peek().type != JetToken::Type::End) {
        if (peek().isWord(QLatin1String("union")))
            fail(QStringLiteral("UNION queries are not supported"));
        fail(QStringLiteral("expected the end of the statement"));
    }
    return statement;
}

std::unique_ptr<Select> Parser::parseSelect()
{
    Nesting nesting(*this);
    auto select = std::make_unique<Select>();
    select->token = m_pos;
    expectWord("select");
    if (acceptWord("distinct"))
        select->distinct = true;
    else if (!acceptWord("distinctrow"))
        acceptWord("all");
    if (acceptWord("top")) {
        if (peek().type != JetToken::Type::Number || peek().text.contains(u'.') ||
            peek().text.contains(u'e', Qt::CaseInsensitive))
            fail(QStringLiteral("expected a whole number after TOP"));
        select->top = next().text;
        if (peek().isWord(QLatin1String("percent")))
            fail(QStringLiteral("TOP ... PERCENT is not supported"));
    }

    do {
        parseSelectItem(*select);
    } while (acceptSymbol(","));

    if (acceptWord("from")) {
        select->from = parseFromList();
    } else if (atName()) {
        fail(QStringLiteral("expected ',' or FROM"));
    }
    if (acceptWord("where"))
        select->where = parseExpr();
    if (acceptWord("group")) {
        expectWord("by");
        do {
            select->groupBy.push_back(parseExpr());
        } while (acceptSymbol(","));
    }
    if (acceptWord("having"))
        select->having = parseExpr();
    if (acceptWord("order")) {
        expectWord("by");
        do {
            OrderItem item;
            item.expr = parseExpr();
            if (acceptWord("desc"))
                item.descending = true;
            else
                acceptWord("asc");
            select->orderBy.push_back(std::move(item));
        } while (acceptSymbol(","));
    }
    return select;
}

void Parser::parseSelectItem(Select& select)
{
    SelectItem item;
    item.token = m_pos;
    if (acceptSymbol("*")) {
        item.kind = SelectItem::Kind::AllColumns;
    } else if ((peek().type == JetToken::Type::Name || peek().type == JetToken::Type::QuotedName) &&
               peek(1).isSymbol(QLatin1String(".")) && peek(2).isSymbol(QLatin1String("*"))) {
        item.kind = SelectItem::Kind::AllColumns;
        item.qualifier = next().text;
        next();
        next();
    } else {
        item.expr = parseExpr();
        if (acceptWord("as"))
            item.alias = expectName(QStringLiteral("a column name after AS"));
    }
    select.items.push_back(std::move(item));
}

std::vector<SourcePtr> Parser::parseFromList()
{
    std::vector<SourcePtr> list;
    do {
        if (int(list.size()) >= MaxTables)
            fail(QStringLiteral("the FROM clause names too many tables"));
        list.push_back(parseJoin());
    } while (acceptSymbol(","));
    return list;
}

SourcePtr Parser::parseJoin()
{
    SourcePtr left = parseSourcePrimary();
    for (int joins = 0;; ++joins) {
        if (joins >= MaxTables)
            fail(QStringLiteral("the FROM clause names too many tables"));
        const int token = m_pos;
        Source::JoinType type;
        if (acceptWord("inner")) {
            type = Source::JoinType::Inner;
        } else if (acceptWord("left")) {
            type = Source::JoinType::Left;
            acceptWord("outer");
        } else if (acceptWord("right")) {
            type = Source::JoinType::Right;
            acceptWord("outer");
        } else if (peek().isWord(QLatin1String("join"))) {
            type = Source::JoinType::Inner;
        } else {
            return left;
        }
        expectWord("join");
        auto join = std::make_unique<Source>();
        join->kind = Source::Kind::Join;
        join->token = token;
        join->join = type;
        join->left = std::move(left);
        join->right = parseSourcePrimary();
        expectWord("on");
        join->on = parseExpr();
        left = std::move(join);
    }
}

SourcePtr Parser::parseSourcePrimary()
{
    Nesting nesting(*this);
    auto source = std::make_unique<Source>();
    source->token = m_pos;
    if (acceptSymbol("(")) {
        if (peek().isWord(QLatin1String("select"))) {
            source->kind = Source::Kind::Subquery;
            source->select = parseSelect();
            expectSymbol(")");
            source->alias = parseOptionalAlias();
            return source;
        }
        SourcePtr inner = parseJoin();
        expectSymbol(")");
        return inner;
    }
    source->kind = Source::Kind::Table;
    source->name = expectName(QStringLiteral("a table or query name"));
    source->alias = parseOptionalAlias();
    return source;
}

QString Parser::parseOptionalAlias()
{
    if (acceptWord("as"))
        return expectName(QStringLiteral("a name after AS"));
    if (atName())
        return next().text;
    return {};
}

QString Parser::parseColumnTarget()
{
    QString name = expectName(QStringLiteral("a column name"));
    if (acceptSymbol("."))
        name = expectMemberName(); // Results.Date: the table is the statement's own
    return name;
}

void Parser::parseInsert(Statement& statement)
{
    expectWord("insert");
    expectWord("into");
    statement.tableToken = m_pos;
    statement.table = expectName(QStringLiteral("a table name"));
    if (acceptSymbol("(")) {
        do {
            statement.columns.append(parseColumnTarget());
        } while (acceptSymbol(","));
        expectSymbol(")");
    }
    if (acceptWord("values")) {
        expectSymbol("(");
        do {
            statement.values.push_back(parseExpr());
        } while (acceptSymbol(","));
        expectSymbol(")");
        if (!statement.columns.isEmpty() &&
            statement.columns.size() != int(statement.values.size()))
            fail(QStringLiteral("the number of values does not match the number of columns"));
    } else if (peek().isWord(QLatin1String("select"))) {
        statement.select = parseSelect();
    } else {
        fail(QStringLiteral("expected VALUES or SELECT"));
    }
}

void Parser::parseUpdate(Statement& statement)
{
    expectWord("update");
    statement.tableToken = m_pos;
    statement.table = expectName(QStringLiteral("a table name"));
    if (peek().isWord(QLatin1String("inner")) || peek().isWord(QLatin1String("left")) ||
        peek().isWord(QLatin1String("right")))
        fail(QStringLiteral("an UPDATE over joined tables is not supported"));
    expectWord("set");
    do {
        statement.columns.append(parseColumnTarget());
        expectSymbol("=");
        statement.values.push_back(parseExpr());
    } while (acceptSymbol(","));
    if (acceptWord("where"))
        statement.where = parseExpr();
}

void Parser::parseDelete(Statement& statement)
{
    expectWord("delete");
    if (acceptSymbol("*")) {
        // DELETE * FROM ...
    } else if (!peek().isWord(QLatin1String("from"))) {
        statement.tableToken = m_pos;
        statement.table = expectName(QStringLiteral("FROM or the table to delete from"));
        statement.hasTarget = true;
        if (acceptSymbol("."))
            expectSymbol("*");
    }
    expectWord("from");
    statement.from = parseFromList();
    if (acceptWord("where"))
        statement.where = parseExpr();
}

ExprPtr Parser::parseBinary(int minimum)
{
    ExprPtr left = parsePrefix();
    for (;;) {
        const BinaryOperator op = binaryOperator(peek());
        if (op.precedence == 0 || op.precedence < minimum)
            return left;
        const int token = m_pos;
        if (op.precedence == PrecComparison && op.name.front().isLetter()) {
            const bool negated = op.name == QLatin1String("NOT");
            if (negated && !peek(1).isWord(QLatin1String("like")) &&
                !peek(1).isWord(QLatin1String("between")) && !peek(1).isWord(QLatin1String("in")))
                return left; // a NOT that belongs to no comparison: the caller reports it
            if (negated)
                next();
            left = parseComparison(std::move(left), token, negated);
            continue;
        }
        next();
        left = binary(op.name, token, std::move(left), parseBinary(op.precedence + 1));
    }
}

ExprPtr Parser::parsePrefix()
{
    const int token = m_pos;
    if (peek().isWord(QLatin1String("not"))) {
        Nesting nesting(*this);
        next();
        ExprPtr expr = node(Expr::Kind::Unary, token);
        expr->text = QStringLiteral("NOT");
        adopt(*expr, parseBinary(PrecNot));
        return expr;
    }
    if (peek().isSymbol(QLatin1String("-")) || peek().isSymbol(QLatin1String("+"))) {
        Nesting nesting(*this);
        const bool minus = next().text == u'-';
        ExprPtr operand = parseBinary(PrecPower); // -2 ^ 2 is -(2 ^ 2)
        if (!minus)
            return operand;
        ExprPtr expr = node(Expr::Kind::Unary, token);
        expr->text = QStringLiteral("-");
        adopt(*expr, std::move(operand));
        return expr;
    }
    return parsePrimary();
}

// The word forms of comparison: [NOT] LIKE, [NOT] BETWEEN a AND b, [NOT] IN
// (...), IS [NOT] NULL. Their operands bind tighter than any comparison, so
// the AND of BETWEEN is never taken for a logical one.
ExprPtr Parser::parseComparison(ExprPtr left, int token, bool negated)
{
    const int operand = PrecComparison + 1;
    if (acceptWord("like")) {
        ExprPtr expr = node(Expr::Kind::Like, token);
        expr->negated = negated;
        adopt(*expr, std::move(left));
        adopt(*expr, parseBinary(operand));
        return expr;
    }
    if (acceptWord("between")) {
        ExprPtr expr = node(Expr::Kind::Between, token);
        expr->negated = negated;
        adopt(*expr, std::move(left));
        adopt(*expr, parseBinary(operand));
        expectWord("and");
        adopt(*expr, parseBinary(operand));
        return expr;
    }
    if (acceptWord("in")) {
        ExprPtr expr = node(Expr::Kind::In, token);
        expr->negated = negated;
        adopt(*expr, std::move(left));
        expectSymbol("(");
        if (peek().isWord(QLatin1String("select"))) {
            expr->select = parseSelect();
        } else {
            do {
                adopt(*expr, parseExpr());
            } while (acceptSymbol(","));
        }
        expectSymbol(")");
        return expr;
    }
    expectWord("is");
    ExprPtr expr = node(Expr::Kind::IsNull, token);
    expr->negated = acceptWord("not");
    expectWord("null");
    adopt(*expr, std::move(left));
    return expr;
}

ExprPtr Parser::parsePrimary()
{
    Nesting nesting(*this);
    const int token = m_pos;
    const JetToken& t = peek();
    switch (t.type) {
    case JetToken::Type::Number:
        return parseLiteral(Expr::Kind::Number, token);
    case JetToken::Type::String:
        return parseLiteral(Expr::Kind::String, token);
    case JetToken::Type::Date:
        return parseLiteral(Expr::Kind::Date, token);
    case JetToken::Type::Symbol:
        if (acceptSymbol("(")) {
            if (peek().isWord(QLatin1String("select"))) {
                ExprPtr expr = node(Expr::Kind::Subquery, token);
                expr->select = parseSelect();
                expectSymbol(")");
                return expr;
            }
            ExprPtr inner = parseExpr();
            expectSymbol(")");
            return inner;
        }
        break;
    case JetToken::Type::Name:
        if (t.isWord(QLatin1String("null"))) {
            next();
            return node(Expr::Kind::Null, token);
        }
        if (t.isWord(QLatin1String("true")) || t.isWord(QLatin1String("false"))) {
            ExprPtr expr = node(Expr::Kind::Boolean, token);
            expr->text =
                next().isWord(QLatin1String("true")) ? QStringLiteral("-1") : QStringLiteral("0");
            return expr;
        }
        if (t.isWord(QLatin1String("exists")))
            return parseExists(token);
        // Left( and Right( are functions, not joins
        if (peek(1).isSymbol(QLatin1String("(")))
            return parseCall(token, next().text);
        if (isReserved(t.text))
            break;
        return parseColumn(token);
    case JetToken::Type::QuotedName:
        return parseColumn(token);
    case JetToken::Type::End:
        break;
    }
    fail(QStringLiteral("expected an expression"));
}

ExprPtr Parser::parseLiteral(Expr::Kind kind, int token)
{
    ExprPtr expr = node(kind, token);
    expr->text = next().text;
    return expr;
}

ExprPtr Parser::parseExists(int token)
{
    next();
    ExprPtr expr = node(Expr::Kind::Exists, token);
    expectSymbol("(");
    if (!peek().isWord(QLatin1String("select")))
        fail(QStringLiteral("expected SELECT"));
    expr->select = parseSelect();
    expectSymbol(")");
    return expr;
}

// A column, with the table it is qualified by.
ExprPtr Parser::parseColumn(int token)
{
    ExprPtr expr = node(Expr::Kind::Column, token);
    expr->text = next().text;
    if (acceptSymbol(".")) {
        expr->qualifier = expr->text;
        expr->text = expectMemberName();
    }
    return expr;
}

ExprPtr Parser::parseCall(int token, const QString& name)
{
    ExprPtr expr = node(Expr::Kind::Call, token);
    expr->text = name;
    expectSymbol("(");
    if (peek().isSymbol(QLatin1String("*")) && name.compare(u"count", Qt::CaseInsensitive) == 0) {
        next();
        expr->countStar = true;
    } else if (!peek().isSymbol(QLatin1String(")"))) {
        do {
            adopt(*expr, parseExpr());
        } while (acceptSymbol(","));
    }
    expectSymbol(")");
    return expr;
}

} // namespace vantor::engine::jet
