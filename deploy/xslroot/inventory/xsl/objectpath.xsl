<?xml version="1.0" encoding="UTF-8"?>
<!-- Templates for stylesheets that build references (object paths). Include
     it with <xsl:include href="objectpath.xsl"/> and write every key value of
     a reference through escape-key-value. -->
<xsl:stylesheet version="1.0" xmlns:xsl="http://www.w3.org/1999/XSL/Transform">

  <!-- $value as it must stand between the quotes of an object path's key:
       each backslash doubled, each double quote preceded by a backslash. -->
  <xsl:template name="escape-key-value">
    <xsl:param name="value"/>
    <xsl:call-template name="replace-all">
      <xsl:with-param name="text">
        <xsl:call-template name="replace-all">
          <xsl:with-param name="text" select="string($value)"/>
          <xsl:with-param name="from" select="'\'"/>
          <xsl:with-param name="to" select="'\\'"/>
        </xsl:call-template>
      </xsl:with-param>
      <xsl:with-param name="from" select="'&quot;'"/>
      <xsl:with-param name="to" select="'\&quot;'"/>
    </xsl:call-template>
  </xsl:template>

  <!-- $text with every $from replaced by $to. -->
  <xsl:template name="replace-all">
    <xsl:param name="text"/>
    <xsl:param name="from"/>
    <xsl:param name="to"/>
    <xsl:choose>
      <xsl:when test="contains($text, $from)">
        <xsl:value-of select="substring-before($text, $from)"/>
        <xsl:value-of select="$to"/>
        <xsl:call-template name="replace-all">
          <xsl:with-param name="text" select="substring-after($text, $from)"/>
          <xsl:with-param name="from" select="$from"/>
          <xsl:with-param name="to" select="$to"/>
        </xsl:call-template>
      </xsl:when>
      <xsl:otherwise>
        <xsl:value-of select="$text"/>
      </xsl:otherwise>
    </xsl:choose>
  </xsl:template>
</xsl:stylesheet>
