<!DOCTYPE html>
<html lang="#html-lang#" data-langid="%%lang">
<head>
<meta charset="utf-8">
<title>#product#</title>
<link rel="stylesheet" href="rsc/autorun.css">
<script>
// Called by the launcher for every element bound to a page extension.
function SetObjectVisibility(id, visible) {
    var element = document.getElementById(id);
    if (element) {
        element.style.display = visible ? "" : "none";
    }
}
</script>
</head>
<body>
<header>
  <img class="logo" src="rsc/logo.svg" alt="">
  <div>
    <h1>#product#</h1>
    <p class="tagline">#tagline#</p>
  </div>
</header>
<main>
<%group%><section class="group">
  <h2>%%group.title%%</h2>
  <ul>
<%entry%>    <li><a href="%%entry.href%%"><span class="title">%%entry.title%%</span><span class="note">%%entry.note%%</span></a></li>
</%entry%>  </ul>
</section>
</%group%>
</main>
<footer>
  <span class="platform">#built-for# %%platform</span>
  <a class="close" href="quit:">#close#</a>
</footer>
</body>
</html>
