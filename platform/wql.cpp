#include "platform/wql.h"

#include "platform/asciicase.h"
#include "platform/management.h"

#include <optional>

namespace quellex::platform {

namespace {

struct Token
{
    enum Kind { Identifier, Symbol, String, End } kind = End;
    std::string text; // the identifier or symbol as written, or the literal's value
};

bool isIdentifierStart(char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_';
}

bool isIdentifierChar(char c)
{
    return isIdentifierStart(c) || (c >= '0' && c <= '9');
}

bool isBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

// Splits the text into tokens; nullopt for anything that is not one (an unknown character, an
// unterminated literal, an escape other than \\ and \').
class Tokenizer
{
public:
    explicit Tokenizer(std::string_view text)
        : m_text(text)
    {}

    // Once it has failed, it fails for good.
    std::optional<Token> next()
    {
        std::optional<Token> token = scan();
        if (!token)
            m_failed = true;
        return m_failed ? std::nullopt : token;
    }

private:
    std::optional<Token> scan()
    {
        while (m_pos < m_text.size() && isBlank(m_text[m_pos]))
            ++m_pos;
        if (m_pos == m_text.size())
            return Token{Token::End, {}};
        const char c = m_text[m_pos];
        if (isIdentifierStart(c)) {
            const std::size_t start = m_pos;
            while (m_pos < m_text.size() && isIdentifierChar(m_text[m_pos]))
                ++m_pos;
            return Token{Token::Identifier, std::string(m_text.substr(start, m_pos - start))};
        }
        if (c == '*' || c == ',' || c == '=') {
            ++m_pos;
            return Token{Token::Symbol, std::string(1, c)};
        }
        if (c == '\'')
            return stringLiteral();
        return std::nullopt;
    }

    std::optional<Token> stringLiteral()
    {
        std::string value;
        for (++m_pos; m_pos < m_text.size(); ++m_pos) {
            const char c = m_text[m_pos];
            if (c == '\'') {
                ++m_pos;
                return Token{Token::String, std::move(value)};
            }
            if (c == '\\') {
                if (++m_pos == m_text.size())
                    return std::nullopt;
                const char escaped = m_text[m_pos];
                if (escaped != '\\' && escaped != '\'')
                    return std::nullopt;
                value += escaped;
            } else {
                value += c;
            }
        }
        return std::nullopt;
    }

    std::string_view m_text;
    std::size_t m_pos = 0;
    bool m_failed = false;
};

class Parser
{
public:
    explicit Parser(std::string_view text)
        : m_tokens(text)
    {}

    std::optional<ProcessNameQuery> parse()
    {
        ProcessNameQuery query;
        if (!keyword("SELECT"))
            return std::nullopt;
        if (!symbol("*")) {
            do {
                if (!advance() || m_token.kind != Token::Identifier)
                    return std::nullopt;
                query.properties.push_back(m_token.text);
            } while (symbol(","));
        }
        if (!keyword("FROM") || !keyword("Win32_Process") || !keyword("WHERE") || !keyword("Name") ||
            !symbol("="))
            return std::nullopt;
        if (!advance() || m_token.kind != Token::String)
            return std::nullopt;
        query.name = std::move(m_token.text);
        if (!advance() || m_token.kind != Token::End)
            return std::nullopt;
        return query;
    }

private:
    // Moves to the next token unless the current one has not been used yet.
    bool advance()
    {
        if (m_pending) {
            m_pending = false;
            return true;
        }
        std::optional<Token> token = m_tokens.next();
        if (!token)
            return false;
        m_token = std::move(*token);
        return true;
    }

    bool keyword(std::string_view word)
    {
        return advance() && m_token.kind == Token::Identifier && equalsIgnoringAsciiCase(m_token.text, word);
    }

    // Consumes the symbol when it comes next; otherwise leaves the token for the next step.
    bool symbol(std::string_view which)
    {
        if (!advance())
            return false;
        if (m_token.kind == Token::Symbol && m_token.text == which)
            return true;
        m_pending = true;
        return false;
    }

    Tokenizer m_tokens;
    Token m_token;
    bool m_pending = false;
};

} // namespace

ProcessNameQuery parseProcessNameQuery(std::string_view text)
{
    std::optional<ProcessNameQuery> query = Parser(text).parse();
    if (!query)
        throw ManagementError("invalid query: " + std::string(text));
    return std::move(*query);
}

} // namespace quellex::platform
