<?php
// Stand-ins for the WordPress functions a plug-in package calls, for the tests that run
// its shortcode under PHP. Shortcodes land in $codes; plugins_url() answers below
// $pluginsBase (set before including this file).
define('ABSPATH', '/');
$codes = array();
function add_shortcode($tag, $fn) { global $codes; $codes[$tag] = $fn; }
function shortcode_atts($defaults, $atts, $tag) {
    $out = $defaults;
    foreach ((array) $atts as $k => $v) { if (array_key_exists($k, $defaults)) { $out[$k] = $v; } }
    return $out;
}
function plugins_url($path, $file) { global $pluginsBase; return $pluginsBase . basename(dirname($file)) . '/' . $path; }
function esc_url($u) { return htmlspecialchars($u, ENT_QUOTES, 'UTF-8'); }
function esc_attr($s) { return htmlspecialchars($s, ENT_QUOTES, 'UTF-8'); }
