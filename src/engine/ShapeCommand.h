#pragma once

#include <QString>
#include <QStringList>

#include <memory>
#include <vector>

namespace vantor::engine {

// A parsed shape command of the data-shaping language:
//
//   SHAPE {sql} [AS alias]
//       APPEND ({sql} | (SHAPE ...) [AS alias] RELATE parent TO child [, ...]) [AS chapter], ...
//   SHAPE {sql} | (SHAPE ...) [AS alias]
//       COMPUTE alias [, AGG(alias.column) [AS name], ...] [BY column, ...]
//
// Names may be bare or quoted with '...', [...] or `...`.
struct ShapeNode
{
    struct Relation
    {
        QString parentColumn;
        QString childColumn;
    };
    struct Child
    {
        std::unique_ptr<ShapeNode> command;
        QString alias;
        std::vector<Relation> relations;
        QString chapterName; // the chapter field's name in the parent
    };
    struct Aggregate
    {
        QString function; // AVG, SUM, MIN, MAX, COUNT (upper case)
        QString column;   // empty for COUNT(alias)
        QString name;     // the field's name in the parent
    };

    // A leaf holds provider SQL; a shape node a base command with children
    // (APPEND) or with a grouping over it (COMPUTE).
    bool isSql() const { return !base; }

    QString sql;
    std::unique_ptr<ShapeNode> base;
    QString alias;
    std::vector<Child> children;
    bool compute = false;
    QString computeChapter;
    std::vector<Aggregate> aggregates;
    QStringList by;
};

// True when the text starts with the word SHAPE.
bool isShapeCommand(const QString& text);

// Throws vantor::Error (Error::SyntaxError) naming the position of anything it
// cannot read.
std::unique_ptr<ShapeNode> parseShapeCommand(const QString& text);

} // namespace vantor::engine
