// SPDX-License-Identifier: GPL-3.0-or-later
// The page's scripts as the browser gets them: each module's own local
// names made short (renameLocals), then comments and indentation left
// out, every other token as it was written. Between two tokens goes a
// line break where there was one (automatic semicolons depend on it),
// else a space where there was any. The licence line stays.
//
//   node compact_js.cjs FILE...   (each file rewritten in place)
'use strict';
const { readFileSync, writeFileSync } = require('node:fs');

function loadAcorn() {
    // Debian's node-acorn, which emscripten's own tools use too.
    for (const name of ['acorn', '/usr/share/nodejs/acorn']) {
        try {
            return require(name);
        } catch {
            // next place
        }
    }
    throw new Error('acorn is missing (Debian: node-acorn)');
}

const acorn = loadAcorn();
const licence = '// SPDX-License-Identifier: GPL-3.0-or-later\n';

// Short names for a module's own bindings: every variable, function,
// class and parameter that the module declares and does not export gets
// the shortest name that neither hides nor is hidden by a name used where
// it is seen. Properties, exports, imports, labels and the globals a
// module uses keep their names. A module that uses eval or with, whose
// names code may look up by their text, is left as it is.
function renameLocals(source) {
    const program = acorn.parse(source, { ecmaVersion: 'latest', sourceType: 'module', allowHashBang: true });

    // The scopes: the module's, each function's, and each block's that
    // declares let, const, class or (in a module, strict) a function.
    const scopes = [];
    function newScope(parent, isFunction) {
        const scope = { parent, isFunction, bindings: new Map(), children: [], seen: new Set(), renamed: new Map() };
        parent?.children.push(scope);
        scopes.push(scope);
        return scope;
    }
    const functionScopeOf = (scope) => {
        while (!scope.isFunction) {
            scope = scope.parent;
        }
        return scope;
    };
    function declare(scope, identifier, { fixed = false } = {}) {
        let binding = scope.bindings.get(identifier.name);
        if (!binding) {
            binding = { name: identifier.name, scope, fixed, uses: [] };
            scope.bindings.set(identifier.name, binding);
        }
        binding.fixed ||= fixed;
        binding.uses.push(identifier);
    }
    // The names a pattern (a parameter, a declaration's left side) binds.
    function patternNames(pattern, found = []) {
        switch (pattern.type) {
        case 'Identifier':
            found.push(pattern);
            break;
        case 'ObjectPattern':
            for (const property of pattern.properties) {
                patternNames(property.type === 'RestElement' ? property.argument : property.value, found);
            }
            break;
        case 'ArrayPattern':
            pattern.elements.filter(Boolean).forEach((element) => patternNames(element, found));
            break;
        case 'RestElement':
            patternNames(pattern.argument, found);
            break;
        case 'AssignmentPattern':
            patternNames(pattern.left, found);
            break;
        default:
            break;  // a member expression: assigns, binds nothing
        }
        return found;
    }

    // Every identifier that names a binding or is a reference, with the
    // scope it stands in; property names, labels and the like are not.
    const references = [];
    const declared = new Set();
    let unsafe = false;
    const skipped = (parent, key, node) =>
        ((parent.type === 'MemberExpression' && key === 'property' && !parent.computed) ||
            ((parent.type === 'Property' || parent.type === 'MethodDefinition' || parent.type === 'PropertyDefinition') &&
                key === 'key' && !parent.computed) ||
            parent.type === 'LabeledStatement' || parent.type === 'BreakStatement' ||
            parent.type === 'ContinueStatement' || parent.type === 'MetaProperty' ||
            parent.type === 'ImportSpecifier' || parent.type === 'ImportDefaultSpecifier' ||
            parent.type === 'ImportNamespaceSpecifier' || parent.type === 'ExportSpecifier' ||
            parent.type === 'ExportAllDeclaration') && node.type === 'Identifier';

    function visit(node, scope, parent = null, key = null) {
        if (!node || typeof node.type !== 'string') {
            return;
        }
        switch (node.type) {
        case 'Identifier':
            if (parent && skipped(parent, key, node)) {
                return;
            }
            if (node.name === 'eval') {
                unsafe = true;
            }
            if (!declared.has(node)) {
                references.push({ node, scope });
            }
            return;
        case 'WithStatement':
            unsafe = true;
            break;
        case 'ImportDeclaration':
            for (const specifier of node.specifiers) {
                declare(scope, specifier.local, { fixed: true });
                declared.add(specifier.local);
            }
            return;
        case 'ExportNamedDeclaration':
            if (node.declaration) {
                const { declaration } = node;
                const names = declaration.type === 'VariableDeclaration'
                    ? declaration.declarations.flatMap((declarator) => patternNames(declarator.id))
                    : [declaration.id];
                for (const name of names) {
                    declare(scope, name, { fixed: true });
                }
            }
            for (const specifier of node.specifiers) {
                // export { local as exported }: the local keeps its name.
                references.push({ node: specifier.local, scope, fixed: true });
            }
            break;
        case 'VariableDeclaration': {
            const target = node.kind === 'var' ? functionScopeOf(scope) : scope;
            for (const declarator of node.declarations) {
                for (const name of patternNames(declarator.id)) {
                    if (!declared.has(name)) {
                        declare(target, name);
                        declared.add(name);
                    }
                }
            }
            break;
        }
        case 'FunctionDeclaration':
        case 'ClassDeclaration':
            if (!declared.has(node.id)) {
                declare(scope, node.id);
                declared.add(node.id);
            }
            break;
        default:
            break;
        }
        let inner = scope;
        if (node.type === 'FunctionDeclaration' || node.type === 'FunctionExpression' ||
            node.type === 'ArrowFunctionExpression') {
            inner = newScope(scope, true);
            if (node.type === 'FunctionExpression' && node.id) {
                // Seen inside the function only.
                declare(inner, node.id);
                declared.add(node.id);
            }
            for (const name of node.params.flatMap((param) => patternNames(param))) {
                declare(inner, name);
                declared.add(name);
            }
        } else if (node.type === 'ClassExpression' && node.id) {
            inner = newScope(scope, false);
            declare(inner, node.id);
            declared.add(node.id);
        } else if (node.type === 'CatchClause') {
            inner = newScope(scope, false);
            for (const name of node.param ? patternNames(node.param) : []) {
                declare(inner, name);
                declared.add(name);
            }
        } else if ((node.type === 'BlockStatement' && !(parent && /Function/.test(parent.type) && key === 'body')) ||
                   node.type === 'ForStatement' || node.type === 'ForInStatement' ||
                   node.type === 'ForOfStatement' || node.type === 'SwitchStatement' ||
                   node.type === 'StaticBlock') {
            inner = newScope(scope, node.type === 'StaticBlock');
        }
        for (const [childKey, child] of Object.entries(node)) {
            if (childKey === 'type' || childKey === 'start' || childKey === 'end') {
                continue;
            }
            const children = Array.isArray(child) ? child : [child];
            for (const item of children) {
                if (item && typeof item.type === 'string') {
                    visit(item, inner, node, childKey);
                }
            }
        }
    }
    const moduleScope = newScope(null, true);
    visit(program, moduleScope);
    if (unsafe) {
        return source;
    }

    // Each reference found its binding (or is a global's), and every scope
    // from the reference's up to the binding's sees the name.
    const globals = new Set();
    for (const { node, scope, fixed } of references) {
        let binding = null;
        for (let at = scope; at && !binding; at = at.parent) {
            binding = at.bindings.get(node.name) ?? null;
        }
        if (binding) {
            binding.uses.push(node);
            binding.fixed ||= Boolean(fixed);
        } else {
            globals.add(node.name);
        }
        for (let at = scope; at && at !== binding?.scope; at = at.parent) {
            at.seen.add(binding ?? node.name);
        }
    }

    // Names handed out top down, the most used first in each scope.
    const reserved = new Set(['do', 'if', 'in', 'for', 'let', 'new', 'try', 'var', 'case', 'else', 'enum', 'eval',
        'null', 'this', 'true', 'void', 'with', 'await', 'break', 'catch', 'class', 'const', 'false', 'super',
        'throw', 'while', 'yield', 'static', 'arguments', 'undefined', 'NaN', 'Infinity']);
    const letters = 'abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ_$';
    const nameAt = (index) => {
        let name = letters[index % letters.length];
        for (let rest = Math.floor(index / letters.length); rest > 0; rest = Math.floor((rest - 1) / letters.length)) {
            name = letters[(rest - 1) % letters.length] + name;
        }
        return name;
    };
    const finalName = (binding) => binding.newName ?? binding.name;
    const replacements = new Map();
    const order = [moduleScope];
    for (let i = 0; i < order.length; ++i) {
        order.push(...order[i].children);
    }
    for (const scope of order) {
        // The names this scope's bindings may not take: globals and outer
        // bindings seen anywhere inside it, and its own fixed ones.
        const taken = new Set(reserved);
        const inside = [scope];
        for (let i = 0; i < inside.length; ++i) {
            inside.push(...inside[i].children);
            for (const seen of inside[i].seen) {
                if (typeof seen === 'string') {
                    taken.add(seen);
                } else if (seen.scope !== scope) {
                    taken.add(finalName(seen));
                }
            }
        }
        for (const name of globals) {
            taken.add(name);
        }
        const bindings = [...scope.bindings.values()];
        for (const binding of bindings.filter((b) => b.fixed)) {
            taken.add(binding.name);
        }
        let next = 0;
        for (const binding of bindings.filter((b) => !b.fixed).sort((a, b) => b.uses.length - a.uses.length)) {
            let name;
            do {
                name = nameAt(next++);
            } while (taken.has(name));
            if (name.length >= binding.name.length && !taken.has(binding.name)) {
                name = binding.name;  // no shorter: keeps its own
            }
            taken.add(name);
            binding.newName = name;
            for (const use of binding.uses) {
                replacements.set(use.start, { end: use.end, text: name, from: binding.name });
            }
        }
    }

    // Shorthand properties keep their key: { a } becomes { a: b }.
    const shorthand = new Set();
    (function findShorthand(node) {
        if (!node || typeof node.type !== 'string') {
            return;
        }
        if (node.type === 'Property' && node.shorthand) {
            shorthand.add(node.key.start);
        }
        for (const child of Object.values(node)) {
            (Array.isArray(child) ? child : [child]).forEach(findShorthand);
        }
    })(program);

    let out = '';
    let at = 0;
    for (const start of [...replacements.keys()].sort((a, b) => a - b)) {
        const { end, text, from } = replacements.get(start);
        if (text === from) {
            continue;
        }
        out += source.slice(at, start) + (shorthand.has(start) ? `${from}: ${text}` : text);
        at = end;
    }
    return out + source.slice(at);
}

function compact(source) {
    const tokens = [];
    acorn.parse(source, {
        ecmaVersion: 'latest',
        sourceType: 'module',
        allowHashBang: true,
        onToken: (token) => tokens.push(token),
    });
    let out = source.startsWith(licence) ? licence : '';
    let end = 0;
    for (const { start, end: tokenEnd } of tokens) {
        if (start === tokenEnd) {
            continue;  // the end of the input
        }
        const gap = source.slice(end, start);
        if (end > 0 && gap.length > 0) {
            out += /[\n\r\u2028\u2029]/.test(gap) ? '\n' : ' ';
        }
        out += source.slice(start, tokenEnd);
        end = tokenEnd;
    }
    return `${out}\n`;
}

if (require.main === module) {
    for (const file of process.argv.slice(2)) {
        writeFileSync(file, compact(renameLocals(readFileSync(file, 'utf8'))));
    }
}

module.exports = { compact, renameLocals };
