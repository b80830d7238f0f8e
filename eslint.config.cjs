// ESLint over the page's scripts (ES modules in the browser), its service
// worker, the browser tests and the page's benchmark (Node). The packages are
// those of tests/web (NODE_PATH=tests/web/node_modules).
const js = require('@eslint/js');
const globals = require('globals');

module.exports = [
  { ignores: ['build/**', '**/node_modules/**'] },
  js.configs.recommended,
  {
    files: ['src/web/site/**/*.js'],
    languageOptions: {
      sourceType: 'module',
      globals: {
        ...globals.browser,
        createPopchan: 'readonly',
        createPopchanAnalysis: 'readonly',
        JSSynth: 'readonly',
      },
    },
  },
  {
    files: ['src/web/site/analysis_worker.js'],
    languageOptions: { sourceType: 'script', globals: { ...globals.worker, createPopchanAnalysis: 'readonly' } },
  },
  { files: ['src/web/site/sw.js'], languageOptions: { sourceType: 'script', globals: globals.serviceworker } },
  {
    files: ['tests/web/**/*.js', 'bench/**/*.js', '*.cjs'],
    // Their page.evaluate callbacks run in the browser.
    languageOptions: { sourceType: 'commonjs', globals: { ...globals.node, ...globals.browser } },
  },
];
