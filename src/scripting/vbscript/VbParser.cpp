#include "scripting/vbscript/VbParser.h"

#include "scripting/vbscript/VbCompileError.h"
#include "scripting/vbscript/VbLexer.h"

#include <utility>

namespace sorvane::vb {
namespace {

// How deeply statements and expressions may nest before the parser gives up
// with error 28, so hostile input cannot exhaust the stack.
constexpr int kMaxNesting = 120;
// How tall an expression's tree may grow through chains of operators,
// members and argument lists, which the parser reads in loops.
constexpr int kMaxHeight = 400;

class Parser {
public:
    explicit Parser(QVector<Token> tokens) : m_tokens(std::move(tokens)) {}

    std::shared_ptr<Program> program()
    {
        auto prog = std::make_shared<Program>();
        m_program = prog.get();
        skipLineEnds();
        if (isKeyword(Keyword::Option)) {
            advance();
            expectKeyword(Keyword::Explicit, ErrorNumber::SyntaxError);
            prog->optionExplicit = true;
            endOfStatement();
        }
        parseBlock(prog->statements, BlockContext::TopLevel);
        if (peek().kind != TokenKind::End)
            fail(ErrorNumber::ExpectedStatement, peek());
        return prog;
    }

    std::shared_ptr<Program> expressionProgram()
    {
        auto prog = std::make_shared<Program>();
        m_program = prog.get();
        auto stmt = std::make_unique<Stmt>();
        stmt->kind = StmtKind::Call;
        stmt->line = peek().line;
        stmt->value = expression();
        skipLineEnds();
        if (peek().kind != TokenKind::End)
            fail(ErrorNumber::ExpectedEndOfStatement, peek());
        prog->statements.push_back(std::move(stmt));
        return prog;
    }

private:
    enum class BlockContext { TopLevel, Procedure, Class, Nested };

    // --- tokens ---
    const Token &peek(int ahead = 0) const
    {
        const int i = std::min(m_pos + ahead, int(m_tokens.size()) - 1);
        return m_tokens[i];
    }
    const Token &advance()
    {
        const Token &t = m_tokens[m_pos];
        if (m_pos + 1 < m_tokens.size())
            ++m_pos;
        return t;
    }
    bool isKeyword(Keyword k, int ahead = 0) const
    {
        return peek(ahead).kind == TokenKind::Name && peek(ahead).keyword == k;
    }
    bool isPunct(const char *p, int ahead = 0) const
    {
        return peek(ahead).kind == TokenKind::Punct && peek(ahead).text == QLatin1String(p);
    }
    // `End Sub`, `End Function`, `End Property` and `End If` may follow a
    // statement on its line without a colon.
    bool isStatementEnd() const
    {
        const TokenKind k = peek().kind;
        return k == TokenKind::End || k == TokenKind::LineEnd || k == TokenKind::Colon ||
               (m_singleLineIf > 0 && isKeyword(Keyword::Else)) ||
               (isKeyword(Keyword::End) && (isKeyword(Keyword::Sub, 1) || isKeyword(Keyword::Function, 1) ||
                                            isKeyword(Keyword::Property, 1) || isKeyword(Keyword::If, 1)));
    }
    [[noreturn]] void fail(ErrorNumber number, const Token &at)
    {
        throw CompileFailure{compileError(number, at.line, at.column)};
    }
    void expectKeyword(Keyword k, ErrorNumber number)
    {
        if (!isKeyword(k))
            fail(number, peek());
        advance();
    }
    void expectPunct(const char *p, ErrorNumber number)
    {
        if (!isPunct(p))
            fail(number, peek());
        advance();
    }
    bool isIdentifier(int ahead = 0) const
    {
        const Token &t = peek(ahead);
        return t.kind == TokenKind::Name && (t.keyword == Keyword::None || isContextWord(t.keyword));
    }
    QString identifier()
    {
        if (!isIdentifier())
            fail(ErrorNumber::ExpectedIdentifier, peek());
        return advance().text;
    }
    void skipLineEnds()
    {
        while (peek().kind == TokenKind::LineEnd || peek().kind == TokenKind::Colon)
            advance();
    }
    void endOfStatement()
    {
        if (!isStatementEnd())
            fail(ErrorNumber::ExpectedEndOfStatement, peek());
    }

    struct Depth {
        explicit Depth(Parser &p) : parser(p)
        {
            if (++parser.m_depth > kMaxNesting)
                parser.fail(ErrorNumber::OutOfStackSpace, parser.peek());
        }
        ~Depth() { --parser.m_depth; }
        Parser &parser;
    };

    // --- blocks ---
    bool atBlockEnd() const
    {
        if (peek().kind == TokenKind::End)
            return true;
        if (peek().kind != TokenKind::Name)
            return false;
        switch (peek().keyword) {
        case Keyword::End:
        case Keyword::Else:
        case Keyword::ElseIf:
        case Keyword::Loop:
        case Keyword::Next:
        case Keyword::Wend:
        case Keyword::Case:
            return true;
        default:
            return false;
        }
    }

    void parseBlock(Block &block, BlockContext context)
    {
        Depth depth(*this);
        for (;;) {
            skipLineEnds();
            if (atBlockEnd()) {
                if (context == BlockContext::TopLevel && peek().kind != TokenKind::End) {
                    if (isKeyword(Keyword::Next))
                        fail(ErrorNumber::UnexpectedNext, peek());
                    if (isKeyword(Keyword::Loop))
                        fail(ErrorNumber::LoopWithoutDo, peek());
                    fail(ErrorNumber::ExpectedStatement, peek());
                }
                return;
            }
            StmtPtr s = statement(context);
            if (s)
                block.push_back(std::move(s));
            endOfStatement();
        }
    }

    StmtPtr make(StmtKind kind, const Token &at)
    {
        auto s = std::make_unique<Stmt>();
        s->kind = kind;
        s->line = at.line;
        s->column = at.column;
        return s;
    }

    StmtPtr statement(BlockContext context)
    {
        const Token &first = peek();
        if (first.kind != TokenKind::Name) {
            if (isPunct(".")) // `.Member ...` inside With
                return callOrAssignment(StmtKind::Call);
            fail(ErrorNumber::ExpectedStatement, first);
        }
        switch (first.keyword) {
        case Keyword::Dim:
            advance();
            return dim(first);
        case Keyword::Public:
        case Keyword::Private:
            if (context != BlockContext::TopLevel)
                fail(ErrorNumber::ExpectedStatement, first);
            return scopedDeclaration(first);
        case Keyword::Const:
            advance();
            return constDecl();
        case Keyword::Sub:
        case Keyword::Function:
            // Wherever it sits in the script's blocks, a procedure is the
            // script's from the start.
            procedure(true, false, nullptr);
            return nullptr;
        case Keyword::Property:
            if (startsPropertyProcedure(0))
                fail(ErrorNumber::MustBeInsideClass, first);
            return callOrAssignment(StmtKind::Call);
        case Keyword::Class:
            if (context != BlockContext::TopLevel)
                fail(ErrorNumber::ExpectedStatement, first);
            classDecl();
            return nullptr;
        case Keyword::ReDim:
            advance();
            return redim(first);
        case Keyword::Erase:
            return eraseStatement(first);
        case Keyword::Set:
            advance();
            return callOrAssignment(StmtKind::Set);
        case Keyword::Let:
            advance();
            return callOrAssignment(StmtKind::Assign);
        case Keyword::Call:
            return callStatement(first);
        case Keyword::If:
            return ifStatement();
        case Keyword::Select:
            return selectStatement();
        case Keyword::For:
            return forStatement();
        case Keyword::Do:
            return doStatement();
        case Keyword::While:
            return whileStatement(first);
        case Keyword::Exit:
            return exitStatement();
        case Keyword::On:
            return onErrorStatement(first);
        case Keyword::With:
            return withStatement(first);
        case Keyword::Option:
            fail(ErrorNumber::MustBeFirstStatement, first);
        default:
            if (first.keyword != Keyword::None && !isContextWord(first.keyword) && first.keyword != Keyword::Me)
                fail(ErrorNumber::ExpectedStatement, first);
            if (isStopStatement())
                return nullptr;
            return callOrAssignment(StmtKind::Call);
        }
    }

    // `Stop` alone asks for a debugger, and there is none: it does nothing.
    bool isStopStatement()
    {
        if (peek().keyword != Keyword::None || peek().text.compare(QLatin1String("stop"), Qt::CaseInsensitive) != 0)
            return false;
        const TokenKind next = peek(1).kind;
        if (next != TokenKind::End && next != TokenKind::LineEnd && next != TokenKind::Colon)
            return false;
        advance();
        return true;
    }

    // Property is a procedure's word only before Get, Let or Set; elsewhere it
    // names a variable.
    bool startsPropertyProcedure(int ahead) const
    {
        return isKeyword(Keyword::Property, ahead) &&
               (isKeyword(Keyword::Get, ahead + 1) || isKeyword(Keyword::Let, ahead + 1) ||
                isKeyword(Keyword::Set, ahead + 1));
    }

    // Public or Private at the top level: a procedure, a constant or
    // variables; Public Default only before a Property Get.
    StmtPtr scopedDeclaration(const Token &first)
    {
        const bool isPublic = first.keyword == Keyword::Public;
        advance();
        bool isDefault = false;
        if (isKeyword(Keyword::Default)) {
            if (!isPublic)
                fail(ErrorNumber::DefaultMustBePublic, peek());
            isDefault = true;
            advance();
        }
        if (isKeyword(Keyword::Sub) || isKeyword(Keyword::Function) || startsPropertyProcedure(0)) {
            procedure(isPublic, isDefault, nullptr);
            return nullptr;
        }
        if (isDefault)
            fail(ErrorNumber::DefaultOnlyOnPropertyGet, peek());
        if (isKeyword(Keyword::Const)) {
            advance();
            constDecl();
            return nullptr;
        }
        return dim(first);
    }

    StmtPtr eraseStatement(const Token &first)
    {
        advance();
        StmtPtr s = make(StmtKind::Erase, first);
        s->target = nameExpr(peek(), identifier());
        return s;
    }

    // Call name(args): the target is always a call, even without arguments.
    StmtPtr callStatement(const Token &first)
    {
        advance();
        StmtPtr s = make(StmtKind::Call, first);
        ExprPtr target = postfix(primary());
        if (target->kind != ExprKind::Call) {
            auto call = std::make_unique<Expr>();
            call->kind = ExprKind::Call;
            call->line = target->line;
            call->column = target->column;
            call->left = std::move(target);
            target = std::move(call);
        }
        s->target = std::move(target);
        return s;
    }

    // While and With: the word, a value, then a block up to the end word.
    StmtPtr valueAndBlock(StmtKind kind, const Token &first)
    {
        advance();
        StmtPtr s = make(kind, first);
        s->value = expression();
        parseBlock(s->body, BlockContext::Nested);
        return s;
    }

    StmtPtr whileStatement(const Token &first)
    {
        StmtPtr s = valueAndBlock(StmtKind::While, first);
        expectKeyword(Keyword::Wend, ErrorNumber::ExpectedWend);
        return s;
    }

    // On Error Resume Next, or On Error GoTo 0 (no other target).
    StmtPtr onErrorStatement(const Token &first)
    {
        advance();
        expectKeyword(Keyword::Error, ErrorNumber::SyntaxError);
        if (isKeyword(Keyword::Resume)) {
            advance();
            expectKeyword(Keyword::Next, ErrorNumber::SyntaxError);
            return make(StmtKind::OnErrorResume, first);
        }
        expectKeyword(Keyword::GoTo, ErrorNumber::SyntaxError);
        if (peek().kind != TokenKind::Literal || !peek().value.isNumber() || peek().value.toLong().valueOr(1) != 0)
            fail(ErrorNumber::SyntaxError, peek());
        advance();
        return make(StmtKind::OnErrorGoto0, first);
    }

    StmtPtr withStatement(const Token &first)
    {
        StmtPtr s = valueAndBlock(StmtKind::With, first);
        expectEnd(Keyword::With, ErrorNumber::ExpectedWith);
        return s;
    }

    void expectEnd(Keyword what, ErrorNumber number)
    {
        if (!isKeyword(Keyword::End))
            fail(ErrorNumber::ExpectedEnd, peek());
        advance();
        expectKeyword(what, number);
    }

    ExprPtr nameExpr(const Token &at, const QString &name)
    {
        auto e = std::make_unique<Expr>();
        e->kind = ExprKind::Name;
        e->name = name;
        e->line = at.line;
        e->column = at.column;
        return e;
    }

    StmtPtr dim(const Token &first)
    {
        StmtPtr s = make(StmtKind::Dim, first);
        do {
            DimItem item;
            const Token &at = peek();
            item.target = nameExpr(at, identifier());
            if (isPunct("(")) {
                advance();
                item.isArray = true;
                if (!isPunct(")")) {
                    do {
                        item.bounds.push_back(expression());
                    } while (isPunct(",") && (advance(), true));
                }
                expectPunct(")", ErrorNumber::ExpectedCloseParen);
            }
            if (!m_procedure) {
                m_program->dims.append(item.target->name);
                if (!item.bounds.empty())
                    m_program->fixedDims.append(item.target->name);
            }
            s->dims.push_back(std::move(item));
        } while (isPunct(",") && (advance(), true));
        return s;
    }

    StmtPtr redim(const Token &first)
    {
        StmtPtr s = make(StmtKind::ReDim, first);
        if (isKeyword(Keyword::Preserve)) {
            advance();
            s->preserve = true;
        }
        do {
            DimItem item;
            const Token &at = peek();
            item.target = nameExpr(at, identifier());
            item.isArray = true;
            if (!m_procedure)
                m_program->dims.append(item.target->name); // ReDim declares, as Dim does
            expectPunct("(", ErrorNumber::ExpectedOpenParen);
            do {
                item.bounds.push_back(expression());
            } while (isPunct(",") && (advance(), true));
            expectPunct(")", ErrorNumber::ExpectedCloseParen);
            s->dims.push_back(std::move(item));
        } while (isPunct(",") && (advance(), true));
        return s;
    }

    Variant literalConstant()
    {
        bool negative = false;
        while (isPunct("-") || isPunct("+")) {
            negative = negative != isPunct("-");
            advance();
        }
        const Token &t = peek();
        if (t.kind == TokenKind::Literal) {
            advance();
            if (!negative)
                return t.value;
            if (!t.value.isNumber())
                fail(ErrorNumber::ExpectedLiteralConstant, t);
            if (t.value.kind() == Variant::Kind::Integer && *t.value.toInteger() != -32768)
                return Variant::fromInteger(qint16(-*t.value.toInteger()));
            if (t.value.kind() == Variant::Kind::Long && *t.value.toLong() != qint32(0x80000000))
                return Variant::fromLong(-*t.value.toLong());
            return Variant::fromDouble(-*t.value.toDouble());
        }
        if (t.kind == TokenKind::Name && !negative) {
            switch (t.keyword) {
            case Keyword::True: advance(); return Variant(true);
            case Keyword::False: advance(); return Variant(false);
            case Keyword::Empty: advance(); return Variant();
            case Keyword::Null: advance(); return Variant::null();
            case Keyword::Nothing: advance(); return Variant::nothing();
            default: break;
            }
        }
        fail(ErrorNumber::ExpectedLiteralConstant, t);
    }

    StmtPtr constDecl()
    {
        do {
            const QString name = identifier();
            expectPunct("=", ErrorNumber::ExpectedEquals);
            Variant value = literalConstant();
            if (m_procedure)
                m_procedure->constants.insert(name.toCaseFolded(), value);
            else
                m_program->constants.emplace_back(name, value);
        } while (isPunct(",") && (advance(), true));
        return nullptr;
    }

    void procedure(bool isPublic, bool isDefault, ClassDecl *owner)
    {
        const Token &first = peek();
        if (m_procedure)
            fail(ErrorNumber::ExpectedStatement, first);
        auto proc = std::make_unique<Procedure>();
        proc->isPublic = isPublic;
        proc->isDefault = isDefault;
        proc->line = first.line;
        proc->column = first.column;
        Keyword endWord = first.keyword;
        advance();
        if (first.keyword == Keyword::Sub)
            proc->kind = ProcKind::Sub;
        else if (first.keyword == Keyword::Function)
            proc->kind = ProcKind::Function;
        else {
            if (!owner)
                fail(ErrorNumber::MustBeInsideClass, first);
            if (isKeyword(Keyword::Get))
                proc->kind = ProcKind::PropertyGet;
            else if (isKeyword(Keyword::Let))
                proc->kind = ProcKind::PropertyLet;
            else if (isKeyword(Keyword::Set))
                proc->kind = ProcKind::PropertySet;
            else
                fail(ErrorNumber::ExpectedPropertyKind, peek());
            advance();
        }
        if (isDefault && proc->kind != ProcKind::PropertyGet && proc->kind != ProcKind::Function &&
            proc->kind != ProcKind::Sub)
            fail(ErrorNumber::DefaultOnlyOnPropertyGet, first);
        proc->name = identifier();
        if (isPunct("(")) {
            advance();
            if (!isPunct(")")) {
                do {
                    Param p;
                    if (isKeyword(Keyword::ByVal)) {
                        p.byRef = false;
                        advance();
                    } else if (isKeyword(Keyword::ByRef)) {
                        advance();
                    }
                    p.name = identifier();
                    if (isPunct("(")) {
                        advance();
                        expectPunct(")", ErrorNumber::ExpectedCloseParen);
                        p.isArray = true;
                    }
                    proc->params.push_back(p);
                } while (isPunct(",") && (advance(), true));
            }
            expectPunct(")", ErrorNumber::ExpectedCloseParen);
        }
        if ((proc->kind == ProcKind::PropertyLet || proc->kind == ProcKind::PropertySet) && proc->params.empty())
            fail(ErrorNumber::PropertySetterWithoutArgument, first);
        if (owner && !proc->params.empty() &&
            (proc->name.compare(QLatin1String("Class_Initialize"), Qt::CaseInsensitive) == 0 ||
             proc->name.compare(QLatin1String("Class_Terminate"), Qt::CaseInsensitive) == 0))
            fail(ErrorNumber::ClassEventWithArguments, first);
        // The body may start on the header's line.
        m_procedure = proc.get();
        m_exitProcedure = endWord;
        const int loops = std::exchange(m_loops, 0), fors = std::exchange(m_fors, 0);
        const int singleLineIf = std::exchange(m_singleLineIf, 0);
        parseBlock(proc->body, BlockContext::Procedure);
        m_loops = loops;
        m_fors = fors;
        m_singleLineIf = singleLineIf;
        m_procedure = nullptr;
        if (!isKeyword(Keyword::End))
            fail(ErrorNumber::ExpectedEnd, peek());
        advance();
        expectKeyword(endWord, endWord == Keyword::Sub        ? ErrorNumber::ExpectedSub
                               : endWord == Keyword::Function ? ErrorNumber::ExpectedFunction
                                                              : ErrorNumber::ExpectedProperty);
        proc->program = m_program;
        if (owner)
            owner->procedures.push_back(std::move(proc));
        else
            m_program->procedures.push_back(std::move(proc));
    }

    void classDecl()
    {
        const Token &first = advance();
        auto cls = std::make_unique<ClassDecl>();
        cls->line = first.line;
        cls->column = first.column;
        cls->name = identifier();
        endOfStatement();
        for (;;) {
            skipLineEnds();
            const Token &t = peek();
            if (isKeyword(Keyword::End)) {
                advance();
                expectKeyword(Keyword::Class, ErrorNumber::ExpectedClass);
                break;
            }
            if (t.kind == TokenKind::End)
                fail(ErrorNumber::ExpectedEnd, t);
            bool isPublic = true, isDefault = false, hadScope = false;
            if (isKeyword(Keyword::Public) || isKeyword(Keyword::Private)) {
                isPublic = isKeyword(Keyword::Public);
                hadScope = true;
                advance();
                if (isKeyword(Keyword::Default)) {
                    if (!isPublic)
                        fail(ErrorNumber::DefaultMustBePublic, peek());
                    isDefault = true;
                    advance();
                }
            } else if (isKeyword(Keyword::Dim)) {
                advance();
                hadScope = true;
                fields(*cls, true);
                endOfStatement();
                continue;
            }
            if (isKeyword(Keyword::Sub) || isKeyword(Keyword::Function) || startsPropertyProcedure(0) ||
                (isKeyword(Keyword::Property) && !hadScope)) {
                procedure(isPublic, isDefault, cls.get());
            } else if (isKeyword(Keyword::Const)) {
                fail(ErrorNumber::ExpectedStatement, peek());
            } else if (hadScope && !isDefault) {
                fields(*cls, isPublic);
            } else {
                fail(isDefault ? ErrorNumber::DefaultOnlyOnPropertyGet : ErrorNumber::ExpectedStatement, peek());
            }
            endOfStatement();
        }
        m_program->classes.push_back(std::move(cls));
    }

    void fields(ClassDecl &cls, bool isPublic)
    {
        do {
            FieldDecl f;
            f.isPublic = isPublic;
            f.name = identifier();
            if (isPunct("(")) {
                advance();
                f.isArray = true;
                if (!isPunct(")")) {
                    do {
                        f.bounds.push_back(expression());
                    } while (isPunct(",") && (advance(), true));
                }
                expectPunct(")", ErrorNumber::ExpectedCloseParen);
            }
            cls.fields.push_back(std::move(f));
        } while (isPunct(",") && (advance(), true));
    }

    // A statement that starts with a name: an assignment when `=` follows the
    // target, else a call whose arguments may stand without parentheses.
    StmtPtr callOrAssignment(StmtKind kind)
    {
        const Token &first = peek();
        const int start = m_pos;
        ExprPtr target = postfix(primary());
        if (kind == StmtKind::Set || kind == StmtKind::Assign || isPunct("=")) {
            if (target->kind != ExprKind::Name && target->kind != ExprKind::Member && target->kind != ExprKind::Call)
                fail(ErrorNumber::SyntaxError, first);
            expectPunct("=", ErrorNumber::ExpectedEquals);
            StmtPtr s = make(kind == StmtKind::Set ? StmtKind::Set : StmtKind::Assign, first);
            if (!m_procedure && target->kind == ExprKind::Name)
                m_program->assigned.append(target->name);
            s->target = std::move(target);
            s->value = expression();
            return s;
        }
        StmtPtr s = make(StmtKind::Call, first);
        if (isStatementEnd()) {
            if (target->kind == ExprKind::Call && target->hasParens && target->args.size() > 1)
                fail(ErrorNumber::ParenthesesCallingSub, first);
            if (target->kind == ExprKind::Call && target->hasParens && target->args.size() == 1) {
                // `Foo (x)`: one argument in parentheses, passed by value.
                ExprPtr arg = std::move(target->args[0]);
                if (arg->kind != ExprKind::Missing)
                    arg = paren(std::move(arg));
                target->args.clear();
                target->args.push_back(std::move(arg));
            }
            if (target->kind != ExprKind::Call)
                target = callOf(std::move(target));
            s->target = std::move(target);
            return s;
        }
        // Arguments without parentheses follow. The last parenthesised group
        // of the target, if any, belongs to the first argument: read again.
        m_pos = start;
        ExprPtr callee = primary();
        callee = postfix(std::move(callee), true);
        auto call = callOf(std::move(callee));
        call->hasParens = false;
        arguments(call->args, true);
        s->target = std::move(call);
        return s;
    }

    ExprPtr callOf(ExprPtr target)
    {
        auto call = std::make_unique<Expr>();
        call->height = target->height + 1;
        call->kind = ExprKind::Call;
        call->line = target->line;
        call->column = target->column;
        call->left = std::move(target);
        return call;
    }

    ExprPtr paren(ExprPtr inner)
    {
        auto p = std::make_unique<Expr>();
        p->kind = ExprKind::Paren;
        p->line = inner->line;
        p->column = inner->column;
        p->height = inner->height + 1;
        p->left = std::move(inner);
        return p;
    }

    // Comma-separated arguments, where an empty place is a missing argument.
    void arguments(std::vector<ExprPtr> &args, bool untilStatementEnd)
    {
        for (;;) {
            const bool atEnd = untilStatementEnd ? isStatementEnd() : isPunct(")");
            if (isPunct(",") || atEnd) {
                auto missing = std::make_unique<Expr>();
                missing->kind = ExprKind::Missing;
                missing->line = peek().line;
                missing->column = peek().column;
                if (atEnd && args.empty())
                    return;
                args.push_back(std::move(missing));
            } else {
                args.push_back(expression());
            }
            if (!isPunct(","))
                break;
            advance();
        }
        if (untilStatementEnd)
            endOfStatement();
    }

    StmtPtr ifStatement()
    {
        const Token &first = advance();
        StmtPtr s = make(StmtKind::If, first);
        ExprPtr cond = expression();
        expectKeyword(Keyword::Then, ErrorNumber::ExpectedThen);
        if (peek().kind != TokenKind::LineEnd && peek().kind != TokenKind::End) {
            // The one-line form: statements separated by colons, an optional Else.
            ++m_singleLineIf;
            Block thenBody;
            singleLine(thenBody);
            s->branches.emplace_back(std::move(cond), std::move(thenBody));
            if (isKeyword(Keyword::Else)) {
                advance();
                s->hasElse = true;
                singleLine(s->elseBody);
            }
            --m_singleLineIf;
            if (isKeyword(Keyword::End) && isKeyword(Keyword::If, 1)) {
                advance();
                advance();
            }
            return s;
        }
        Block body;
        parseBlock(body, BlockContext::Nested);
        s->branches.emplace_back(std::move(cond), std::move(body));
        for (;;) {
            if (isKeyword(Keyword::ElseIf)) {
                advance();
                ExprPtr c = expression();
                expectKeyword(Keyword::Then, ErrorNumber::ExpectedThen);
                Block b;
                if (!isStatementEnd()) {
                    ++m_singleLineIf;
                    singleLine(b);
                    --m_singleLineIf;
                }
                parseBlock(b, BlockContext::Nested);
                s->branches.emplace_back(std::move(c), std::move(b));
                continue;
            }
            if (isKeyword(Keyword::Else)) {
                advance();
                s->hasElse = true;
                parseBlock(s->elseBody, BlockContext::Nested);
            }
            break;
        }
        expectEnd(Keyword::If, ErrorNumber::ExpectedIf);
        return s;
    }

    void singleLine(Block &body)
    {
        Depth depth(*this);
        for (;;) {
            while (peek().kind == TokenKind::Colon)
                advance();
            if (peek().kind == TokenKind::LineEnd || peek().kind == TokenKind::End || isKeyword(Keyword::Else) ||
                (isKeyword(Keyword::End) && isKeyword(Keyword::If, 1)))
                return;
            StmtPtr st = statement(BlockContext::Nested);
            if (st)
                body.push_back(std::move(st));
            endOfStatement();
        }
    }

    StmtPtr selectStatement()
    {
        const Token &first = advance();
        expectKeyword(Keyword::Case, ErrorNumber::ExpectedCase);
        StmtPtr s = make(StmtKind::Select, first);
        s->value = expression();
        endOfStatement();
        skipLineEnds();
        while (isKeyword(Keyword::Case)) {
            advance();
            if (isKeyword(Keyword::Else)) {
                advance();
                s->hasElse = true;
                parseBlock(s->elseBody, BlockContext::Nested);
                break;
            }
            CaseClause clause;
            do {
                CaseItem item;
                if (isKeyword(Keyword::Is)) {
                    advance();
                    static const std::pair<const char *, Op> ops[] = {{"=", Op::Eq}, {"<>", Op::Ne}, {"<", Op::Lt},
                                                                      {">", Op::Gt}, {"<=", Op::Le}, {">=", Op::Ge}};
                    bool found = false;
                    for (const auto &[text, op] : ops)
                        if (isPunct(text)) {
                            item.compare = op;
                            found = true;
                        }
                    if (!found)
                        fail(ErrorNumber::SyntaxError, peek());
                    advance();
                    item.from = additive();
                } else {
                    item.from = expression();
                    if (isKeyword(Keyword::To)) {
                        advance();
                        item.to = expression();
                    }
                }
                clause.items.push_back(std::move(item));
            } while (isPunct(",") && (advance(), true));
            parseBlock(clause.body, BlockContext::Nested);
            s->cases.push_back(std::move(clause));
        }
        expectEnd(Keyword::Select, ErrorNumber::ExpectedSelect);
        return s;
    }

    StmtPtr forStatement()
    {
        const Token &first = advance();
        if (isKeyword(Keyword::Each)) {
            advance();
            StmtPtr s = make(StmtKind::ForEach, first);
            s->target = nameExpr(peek(), identifier());
            if (!m_procedure)
                m_program->assigned.append(s->target->name);
            expectKeyword(Keyword::In, ErrorNumber::ExpectedIn);
            s->value = expression();
            loopBody(*s);
            return s;
        }
        StmtPtr s = make(StmtKind::For, first);
        if (!isIdentifier())
            fail(ErrorNumber::InvalidForLoopVariable, peek());
        s->target = nameExpr(peek(), identifier());
        if (!m_procedure)
            m_program->assigned.append(s->target->name);
        expectPunct("=", ErrorNumber::ExpectedEquals);
        s->value = expression();
        expectKeyword(Keyword::To, ErrorNumber::ExpectedTo);
        s->limit = expression();
        if (isKeyword(Keyword::Step)) {
            advance();
            s->step = expression();
        }
        loopBody(*s);
        return s;
    }

    void loopBody(Stmt &s)
    {
        ++m_fors;
        parseBlock(s.body, BlockContext::Nested);
        --m_fors;
        expectKeyword(Keyword::Next, ErrorNumber::ExpectedNext);
        if (isIdentifier())
            advance();
    }

    StmtPtr doStatement()
    {
        const Token &first = advance();
        StmtPtr s = make(StmtKind::Do, first);
        if (isKeyword(Keyword::While) || isKeyword(Keyword::Until)) {
            s->until = isKeyword(Keyword::Until);
            advance();
            s->value = expression();
        }
        endOfStatement();
        ++m_loops;
        parseBlock(s->body, BlockContext::Nested);
        --m_loops;
        expectKeyword(Keyword::Loop, ErrorNumber::ExpectedLoop);
        if (isKeyword(Keyword::While) || isKeyword(Keyword::Until)) {
            if (s->value)
                fail(ErrorNumber::ExpectedEndOfStatement, peek());
            s->until = isKeyword(Keyword::Until);
            s->testAtTop = false;
            advance();
            s->value = expression();
        }
        return s;
    }

    StmtPtr exitStatement()
    {
        const Token &first = advance();
        StmtPtr s = make(StmtKind::Exit, first);
        const Token &what = peek();
        switch (what.keyword) {
        case Keyword::For:
            if (m_fors == 0)
                fail(ErrorNumber::InvalidExit, what);
            s->exit = ExitKind::For;
            break;
        case Keyword::Do:
            if (m_loops == 0)
                fail(ErrorNumber::InvalidExit, what);
            s->exit = ExitKind::Do;
            break;
        case Keyword::Sub:
        case Keyword::Function:
        case Keyword::Property:
            if (!m_procedure || what.keyword != m_exitProcedure)
                fail(ErrorNumber::InvalidExit, what);
            s->exit = ExitKind::Procedure;
            break;
        default:
            fail(ErrorNumber::SyntaxError, what);
        }
        advance();
        return s;
    }

    // --- expressions, lowest precedence first ---
    ExprPtr binary(Op op, ExprPtr l, ExprPtr r, const Token &at)
    {
        auto e = std::make_unique<Expr>();
        e->kind = ExprKind::Binary;
        e->op = op;
        e->line = at.line;
        e->column = at.column;
        e->height = 1 + std::max(l->height, r->height);
        if (e->height > kMaxHeight)
            fail(ErrorNumber::OutOfStackSpace, at);
        e->left = std::move(l);
        e->right = std::move(r);
        return e;
    }
    ExprPtr unary(Op op, ExprPtr operand, const Token &at)
    {
        auto e = std::make_unique<Expr>();
        e->kind = ExprKind::Unary;
        e->op = op;
        e->line = at.line;
        e->column = at.column;
        e->height = 1 + operand->height;
        e->left = std::move(operand);
        return e;
    }

    ExprPtr expression()
    {
        Depth depth(*this);
        return logical(0);
    }

    ExprPtr logical(int level)
    {
        static const std::pair<Keyword, Op> levels[] = {
            {Keyword::Imp, Op::Imp}, {Keyword::Eqv, Op::Eqv}, {Keyword::Xor, Op::Xor}, {Keyword::Or, Op::Or},
            {Keyword::And, Op::And}};
        if (level == 5)
            return notExpr();
        ExprPtr left = logical(level + 1);
        while (isKeyword(levels[level].first)) {
            const Token &at = advance();
            left = binary(levels[level].second, std::move(left), logical(level + 1), at);
        }
        return left;
    }

    ExprPtr notExpr()
    {
        if (isKeyword(Keyword::Not)) {
            Depth depth(*this);
            const Token &at = advance();
            return unary(Op::Not, notExpr(), at);
        }
        return comparison();
    }

    ExprPtr comparison()
    {
        ExprPtr left = concatenation();
        for (;;) {
            static const std::pair<const char *, Op> ops[] = {{"=", Op::Eq}, {"<>", Op::Ne}, {"<", Op::Lt},
                                                              {">", Op::Gt}, {"<=", Op::Le}, {">=", Op::Ge}};
            Op op = Op::Eq;
            bool found = false;
            for (const auto &[text, o] : ops)
                if (isPunct(text)) {
                    op = o;
                    found = true;
                }
            if (isKeyword(Keyword::Is)) {
                op = Op::Is;
                found = true;
            }
            if (!found)
                return left;
            const Token &at = advance();
            left = binary(op, std::move(left), concatenation(), at);
        }
    }

    ExprPtr concatenation()
    {
        ExprPtr left = additive();
        while (isPunct("&")) {
            const Token &at = advance();
            left = binary(Op::Concat, std::move(left), additive(), at);
        }
        return left;
    }

    ExprPtr additive()
    {
        ExprPtr left = modulo();
        while (isPunct("+") || isPunct("-")) {
            const Token &at = advance();
            left = binary(at.text == QLatin1String("+") ? Op::Add : Op::Sub, std::move(left), modulo(), at);
        }
        return left;
    }

    ExprPtr modulo()
    {
        ExprPtr left = intDivision();
        while (isKeyword(Keyword::Mod)) {
            const Token &at = advance();
            left = binary(Op::Mod, std::move(left), intDivision(), at);
        }
        return left;
    }

    ExprPtr intDivision()
    {
        ExprPtr left = multiplicative();
        while (isPunct("\\")) {
            const Token &at = advance();
            left = binary(Op::IntDiv, std::move(left), multiplicative(), at);
        }
        return left;
    }

    ExprPtr multiplicative()
    {
        ExprPtr left = negation();
        while (isPunct("*") || isPunct("/")) {
            const Token &at = advance();
            left = binary(at.text == QLatin1String("*") ? Op::Mul : Op::Div, std::move(left), negation(), at);
        }
        return left;
    }

    // A sign binds tighter than ^ on either side: -3 ^ 2 is 9.
    ExprPtr negation()
    {
        ExprPtr left = signedOperand();
        while (isPunct("^")) {
            const Token &at = advance();
            left = binary(Op::Pow, std::move(left), signedOperand(), at);
        }
        return left;
    }

    ExprPtr signedOperand()
    {
        if (isPunct("-") || isPunct("+")) {
            Depth depth(*this);
            const Token &at = advance();
            ExprPtr operand = signedOperand();
            if (at.text == QLatin1String("+"))
                return operand;
            return unary(Op::Neg, std::move(operand), at);
        }
        return postfix(primary());
    }

    ExprPtr primary()
    {
        Depth depth(*this);
        const Token &t = peek();
        auto e = std::make_unique<Expr>();
        e->line = t.line;
        e->column = t.column;
        if (t.kind == TokenKind::Literal) {
            advance();
            e->kind = ExprKind::Literal;
            e->value = t.value;
            return e;
        }
        if (isPunct("(")) {
            advance();
            ExprPtr inner = expression();
            expectPunct(")", ErrorNumber::ExpectedCloseParen);
            return paren(std::move(inner));
        }
        if (isPunct(".")) {
            // A member of the With object.
            advance();
            if (peek().kind != TokenKind::Name)
                fail(ErrorNumber::ExpectedIdentifier, peek());
            e->kind = ExprKind::Member;
            e->name = advance().text;
            return e;
        }
        if (t.kind != TokenKind::Name)
            fail(ErrorNumber::ExpectedExpression, t);
        switch (t.keyword) {
        case Keyword::True: advance(); e->value = Variant(true); return e;
        case Keyword::False: advance(); e->value = Variant(false); return e;
        case Keyword::Empty: advance(); return e;
        case Keyword::Null: advance(); e->value = Variant::null(); return e;
        case Keyword::Nothing: advance(); e->value = Variant::nothing(); return e;
        case Keyword::Me:
            advance();
            e->kind = ExprKind::Me;
            return e;
        case Keyword::New:
            advance();
            e->kind = ExprKind::New;
            e->name = identifier();
            return e;
        case Keyword::None:
            break;
        default:
            if (!isContextWord(t.keyword))
                fail(ErrorNumber::ExpectedExpression, t);
        }
        advance();
        e->kind = ExprKind::Name;
        e->name = t.text;
        return e;
    }

    // Member accesses and argument lists after a primary. With `stopBeforeArgs`
    // the last argument list is left unread when what follows it is no end of
    // statement, so a statement's first argument can start with a parenthesis.
    ExprPtr postfix(ExprPtr e, bool stopBeforeArgs = false)
    {
        for (;;) {
            if (isPunct(".") && !peek().spaceBefore) {
                const Token &dot = advance();
                if (peek().kind != TokenKind::Name)
                    fail(ErrorNumber::ExpectedIdentifier, peek());
                auto m = std::make_unique<Expr>();
                m->kind = ExprKind::Member;
                m->line = dot.line;
                m->column = dot.column;
                m->name = advance().text;
                m->height = e->height + 1;
                if (m->height > kMaxHeight)
                    fail(ErrorNumber::OutOfStackSpace, dot);
                m->left = std::move(e);
                e = std::move(m);
                continue;
            }
            if (isPunct("(") && e->kind == ExprKind::Paren && !stopBeforeArgs) {
                // `(Twice)(4)`: the parentheses only group the callee.
                while (e->kind == ExprKind::Paren)
                    e = std::move(e->left);
            }
            if (isPunct("(") && (e->kind == ExprKind::Name || e->kind == ExprKind::Member ||
                                 e->kind == ExprKind::Call || e->kind == ExprKind::Me)) {
                const int before = m_pos;
                Depth depth(*this);
                advance();
                auto call = callOf(std::move(e));
                call->hasParens = true;
                arguments(call->args, false);
                expectPunct(")", ErrorNumber::ExpectedCloseParen);
                for (const ExprPtr &a : call->args)
                    call->height = std::max(call->height, a->height + 1);
                if (call->height > kMaxHeight)
                    fail(ErrorNumber::OutOfStackSpace, peek());
                if (stopBeforeArgs && !isPunct(".") && !isPunct("(") && !isStatementEnd()) {
                    m_pos = before;
                    return std::move(call->left);
                }
                e = std::move(call);
                continue;
            }
            return e;
        }
    }

    QVector<Token> m_tokens;
    int m_pos = 0;
    int m_depth = 0;
    int m_singleLineIf = 0;
    int m_loops = 0;
    int m_fors = 0;
    Keyword m_exitProcedure = Keyword::None;
    Procedure *m_procedure = nullptr;
    Program *m_program = nullptr;
};

template <typename F>
Result<std::shared_ptr<Program>> parseWith(const QString &source, F parse)
{
    Result<QVector<Token>> tokens = tokenize(source);
    if (!tokens)
        return tokens.error();
    Parser parser(std::move(*tokens));
    try {
        std::shared_ptr<Program> program = parse(parser);
        program->lines = source.split(QLatin1Char('\n'));
        for (QString &line : program->lines)
            if (line.endsWith(QLatin1Char('\r')))
                line.chop(1);
        return program;
    } catch (const CompileFailure &f) {
        return f.error;
    }
}

} // namespace

Result<std::shared_ptr<Program>> parseProgram(const QString &source)
{
    return parseWith(source, [](Parser &p) { return p.program(); });
}

Result<std::shared_ptr<Program>> parseExpression(const QString &source)
{
    return parseWith(source, [](Parser &p) { return p.expressionProgram(); });
}

} // namespace sorvane::vb
