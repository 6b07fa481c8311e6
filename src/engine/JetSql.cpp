#include "JetSql.h"

#include "JetLexer.h"
#include "JetParser.h"
#include "JetTranslator.h"

// Jet SQL is read into a small tree (recursive descent for statements,
// precedence climbing for expressions) and printed again as SQLite. The
// printer puts every operation in parentheses, so SQLite's own precedence
// (|| binds tighter than + there, & looser than + in Jet) cannot change the
// meaning; every printed expression is thus an operand that can stand next to
// AND or COLLATE as it is.

namespace vantor::engine {

TranslatedSql translateJet(const QString& jetSql, const SchemaLookup& schema,
                           const TranslateOptions& options)
{
    JetLexer lexer(jetSql);
    const QVector<JetToken> tokens = lexer.tokenize();
    jet::Parser parser(jetSql, tokens);
    const jet::Statement statement = parser.parseStatement();
    jet::Translator translator(jetSql, tokens, schema);
    return translator.translate(statement, options);
}

} // namespace vantor::engine
